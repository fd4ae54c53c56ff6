// winmain.cpp: start-up: the program's values, its refusals, the main dialog.

#include <windows.h>

#include "app/dialog_ids.h"
#include "app/main_dialog.h"
#include "host/win32/win32_host.h"
#include "host/win32/win32_owners.h"
#include "startup/process_values.h"

namespace {

// Start-up's refusals end the process with all bits set.
const int EXIT_REFUSED = -1;

void show_refusal(const ProcessValues& values, const char* text) {
  MessageBoxA(nullptr, text, refusal_caption(values).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)previous;
  (void)command_line;
  (void)show;

  Win32Host host(instance);
  ProcessValues values;
  capture_program_values(host, &values);
  // The version is tested first: an unsupported system is refused as such,
  // whether or not another copy runs.
  if (values.sys_os == OS_UNSUPPORTED) {
    show_refusal(values, UNSUPPORTED_OS_TEXT);
    return EXIT_REFUSED;
  }

  // The mutex only marks a running copy; it is never waited on. Its name is
  // the unfilled title format, so copies under any file name share it. A
  // mutex that cannot be created leaves the program running without guard.
  KernelHandle guard(CreateMutexA(nullptr, FALSE, PROGRAM_TITLE_FORMAT));
  if (guard.get() && GetLastError() == ERROR_ALREADY_EXISTS) {
    guard.close();
    show_refusal(values, SECOND_COPY_TEXT);
    return EXIT_REFUSED;
  }

  capture_directories(host, &values);

  MainDialog dialog;
  dialog.instance = instance;
  dialog.host = &host;
  dialog.values = &values;
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), nullptr, main_dialog_proc,
                  reinterpret_cast<LPARAM>(&dialog));
  guard.close();
  return 0;
}
