// bare_dialog.cpp: Dorvik's dialog and resources with nothing behind them.
//
// The floor of the start-up benchmark: shows the main dialog from the same
// resources and closes it on WM_CLOSE, and does nothing else.
#include <windows.h>

#include "dialog_ids.h"

namespace {

INT_PTR CALLBACK bare_dialog_proc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) EndDialog(dialog, 0);
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN_DIALOG), nullptr, bare_dialog_proc, 0);
  return 0;
}
