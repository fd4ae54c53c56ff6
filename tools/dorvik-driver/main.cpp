// main.cpp: dorvik-driver: drives Dorvik's dialog from outside, the way a person does.
//
// A console program for the demo and the tests under Wine. Its arguments are
// a sequence of steps, performed in order; each step prints what it saw as
// lines of the form "key: value" on standard output (text in the ANSI code
// page, exactly as the dialog holds it), and the program stops with exit
// code 1 at the first step that fails, after printing "error: ...".
//
// Steps:
//   wait-window TITLE [SECONDS]  find the dialog (class #32770) by its exact title
//   title                        print the dialog's title
//   press BUTTON [SECONDS]       press a button, named run, run-with-log or exit, or
//                                given by its id: the command is sent from a helper
//                                thread, and the step returns once the command has
//                                been handled or a message box has come up
//   msgbox [SECONDS]             wait for a message box of the dialog's process and
//                                print its caption and its text (one line each)
//   dismiss [SECONDS]            press OK in that message box and wait until the
//                                command behind it has been handled
//   list                         print the status list's lines and their count
//   icons                        print each status icon: enabled or not, and which
//                                image it shows, read from the screen's pixels
//   rect                         print the dialog's screen rectangle
//   key VK                       post a key press (down and up) to the dialog
//   wait-gone [SECONDS]          wait until the dialog window no longer exists
//   sleep MILLISECONDS           wait
//   wait-msgbox CAPTION [SECONDS]  find a message box without owner (start-up's
//                                refusals) by its caption; print caption and text
//   msgbox-icon                  print which icon the message box found last shows:
//                                warning, information, error or none, read from
//                                the screen's pixels
//   count-windows TITLE          print how many visible dialog-class windows have
//                                exactly this title, in any process
//   wait-count TITLE N [SECONDS]  wait until exactly N such windows are up
//   dismiss-all TITLE [SECONDS]  print the text of every such window, press its
//                                OK and wait until none is left
//   local-time                   print the local date and time, as the program's
//                                clock gives it to this process
//   facts                        print what the machine offers the program, as
//                                Dorvik's own start-up and status run read it
//                                (machine_facts.h)
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/dialog_ids.h"
#include "checks/evaluation.h"
#include "dialog_windows.h"
#include "host/win32/win32_host.h"
#include "machine_facts.h"
#include "step_output.h"

namespace {

const DWORD POLL_MS = 20;

// The buttons a step may name.
struct NamedButton {
  const char* name;
  int id;
};
const NamedButton BUTTONS[] = {
    {"run", IDC_RUN},
    {"run-with-log", IDC_RUN_WITH_LOG},
    {"exit", IDC_EXIT},
};

// Polls `done` until it holds or `timeout_ms` have passed; true when it held.
template <typename Predicate>
bool wait_until(Predicate done, DWORD timeout_ms) {
  for (DWORD start = GetTickCount();; Sleep(POLL_MS)) {
    if (done()) return true;
    if (GetTickCount() - start >= timeout_ms) return false;
  }
}

struct Driver {
  HWND dialog = nullptr;
  HWND message_box = nullptr;
  HANDLE pending_command = nullptr;  // helper thread still sending a command
};

// The step's arguments, taken one by one from the command line.
struct Args {
  int argc;
  char** argv;
  int at;  // the step's name; its arguments follow

  const char* take() {
    if (at + 1 >= argc) fail(std::string(argv[at]) + " needs an argument");
    return argv[++at];
  }
  // An optional timeout in seconds (fractions allowed), as milliseconds.
  DWORD seconds(DWORD fallback) {
    if (at + 1 < argc && argv[at + 1][0] >= '0' && argv[at + 1][0] <= '9')
      return static_cast<DWORD>(std::atof(argv[++at]) * 1000);
    return fallback * 1000;
  }
};

void need_dialog(const Driver& d) {
  if (!d.dialog || !IsWindow(d.dialog)) fail("no dialog (wait-window first)");
}

void print_message_box(HWND box) {
  print_lines("msgbox-caption", window_text(box));
  print_lines("msgbox-text", message_box_text(box));
}

struct SentCommand {
  HWND dialog;
  int id;
};

DWORD WINAPI send_button_command(void* param) {
  SentCommand* command = static_cast<SentCommand*>(param);
  HWND button = GetDlgItem(command->dialog, command->id);
  SendMessageW(command->dialog, WM_COMMAND, MAKEWPARAM(command->id, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  delete command;
  return 0;
}

// Waits until the pending command has been handled, or a message box is up,
// and says which.
void report_pending_command(Driver& d, DWORD timeout) {
  bool done = false;
  auto settled = [&] {
    done = WaitForSingleObject(d.pending_command, 0) == WAIT_OBJECT_0;
    return done || (IsWindow(d.dialog) && find_message_box(d.dialog));
  };
  if (!wait_until(settled, timeout)) fail("command still running after the timeout");
  if (done) {
    CloseHandle(d.pending_command);
    d.pending_command = nullptr;
  }
  print_line("pressed", done ? "done" : "message box");
}

int button_id(const char* button) {
  for (const NamedButton& named : BUTTONS)
    if (std::strcmp(named.name, button) == 0) return named.id;
  return std::atoi(button);
}

void step_wait_window(Driver& d, Args& a) {
  const char* title = a.take();
  DWORD timeout = a.seconds(10);
  if (!wait_until([&] { return (d.dialog = FindWindowA("#32770", title)) != nullptr; }, timeout))
    fail(std::string("no window titled \"") + title + "\"");
  print_line("window", "found");
}

void step_title(Driver& d, Args&) {
  need_dialog(d);
  print_line("title", window_text(d.dialog));
}

void step_press(Driver& d, Args& a) {
  int id = button_id(a.take());
  DWORD timeout = a.seconds(30);
  need_dialog(d);
  if (d.pending_command) fail("a command is still pending (dismiss its message box first)");
  d.pending_command =
      CreateThread(nullptr, 0, send_button_command, new SentCommand{d.dialog, id}, 0, nullptr);
  if (!d.pending_command) fail("cannot start the sending thread");
  report_pending_command(d, timeout);
}

void step_msgbox(Driver& d, Args& a) {
  DWORD timeout = a.seconds(10);
  need_dialog(d);
  if (!wait_until([&] { return (d.message_box = find_message_box(d.dialog)) != nullptr; }, timeout))
    fail("no message box");
  print_message_box(d.message_box);
}

void step_dismiss(Driver& d, Args& a) {
  DWORD timeout = a.seconds(30);
  if (!d.message_box || !IsWindow(d.message_box)) fail("no message box to dismiss");
  PostMessageW(d.message_box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  if (!wait_until([&] { return !IsWindow(d.message_box); }, timeout)) fail("message box still up");
  d.message_box = nullptr;
  if (d.pending_command) report_pending_command(d, timeout);
}

void step_list(Driver& d, Args&) {
  need_dialog(d);
  HWND list = GetDlgItem(d.dialog, IDC_STATUS_LIST);
  if (!list) fail("no status list");
  std::vector<std::string> lines = list_box_lines(list);
  for (const std::string& line : lines) print_line("list", line);
  print_line("list-count", std::to_string(lines.size()));
}

void step_icons(Driver& d, Args&) {
  need_dialog(d);
  for (int id : GROUP_ICON_CONTROLS) {
    HWND control = GetDlgItem(d.dialog, id);
    if (!control) fail("no icon control " + std::to_string(id));
    print_line("icon", std::to_string(id) +
                           (IsWindowEnabled(control) ? " enabled " : " disabled ") +
                           status_image(control));
  }
}

void step_rect(Driver& d, Args&) {
  need_dialog(d);
  RECT r;
  GetWindowRect(d.dialog, &r);
  print_line("rect", std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
}

void step_key(Driver& d, Args& a) {
  WPARAM key = static_cast<WPARAM>(std::atoi(a.take()));
  need_dialog(d);
  HWND focus = GetDlgItem(d.dialog, IDC_RUN);
  PostMessageW(focus ? focus : d.dialog, WM_KEYDOWN, key, 1);
  PostMessageW(focus ? focus : d.dialog, WM_KEYUP, key, 0xC0000001);
  print_line("key", std::to_string(key));
}

// The dialog may be gone already: that is what this step waits for.
void step_wait_gone(Driver& d, Args& a) {
  DWORD timeout = a.seconds(10);
  if (!d.dialog) fail("no dialog (wait-window first)");
  if (!wait_until([&] { return !IsWindow(d.dialog); }, timeout)) fail("dialog still there");
  print_line("window", "gone");
}

void step_sleep(Driver&, Args& a) { Sleep(static_cast<DWORD>(std::atoi(a.take()))); }

void step_wait_msgbox(Driver& d, Args& a) {
  const char* caption = a.take();
  DWORD timeout = a.seconds(10);
  if (!wait_until([&] { return (d.message_box = FindWindowA("#32770", caption)) != nullptr; },
                  timeout))
    fail(std::string("no message box titled \"") + caption + "\"");
  print_message_box(d.message_box);
}

// The icon is painted a moment after the box appears.
void step_msgbox_icon(Driver& d, Args&) {
  if (!d.message_box || !IsWindow(d.message_box)) fail("no message box (msgbox first)");
  const char* icon = "none";
  wait_until([&] { return std::strcmp(icon = message_box_icon(d.message_box), "none") != 0; },
             2000);
  print_line("msgbox-icon", icon);
}

void step_count_windows(Driver&, Args& a) {
  print_line("window-count", std::to_string(titled_windows(a.take()).size()));
}

void step_wait_count(Driver&, Args& a) {
  std::string title = a.take();
  std::size_t count = static_cast<std::size_t>(std::atoi(a.take()));
  DWORD timeout = a.seconds(10);
  std::size_t seen = 0;
  if (!wait_until([&] { return (seen = titled_windows(title).size()) == count; }, timeout))
    fail(std::to_string(seen) + " windows titled \"" + title + "\", expected " +
         std::to_string(count));
  print_line("window-count", std::to_string(seen));
}

void step_dismiss_all(Driver&, Args& a) {
  std::string title = a.take();
  DWORD timeout = a.seconds(10);
  std::vector<HWND> boxes = titled_windows(title);
  for (HWND box : boxes) {
    print_lines("msgbox-text", message_box_text(box));
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  if (!wait_until([&] { return titled_windows(title).empty(); }, timeout))
    fail("message boxes still up");
  print_line("dismissed", std::to_string(boxes.size()));
}

void step_local_time(Driver&, Args&) {
  CalendarTime t = Win32Host(GetModuleHandleA(nullptr)).local_time();
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  print_line("local-time", text);
}

void step_facts(Driver&, Args&) { print_machine_facts(); }

struct Step {
  const char* name;
  void (*run)(Driver&, Args&);
};

const Step STEPS[] = {
    {"wait-window", step_wait_window},
    {"title", step_title},
    {"press", step_press},
    {"msgbox", step_msgbox},
    {"dismiss", step_dismiss},
    {"list", step_list},
    {"icons", step_icons},
    {"rect", step_rect},
    {"key", step_key},
    {"wait-gone", step_wait_gone},
    {"sleep", step_sleep},
    {"wait-msgbox", step_wait_msgbox},
    {"msgbox-icon", step_msgbox_icon},
    {"count-windows", step_count_windows},
    {"wait-count", step_wait_count},
    {"dismiss-all", step_dismiss_all},
    {"local-time", step_local_time},
    {"facts", step_facts},
};

const Step* find_step(const char* name) {
  for (const Step& step : STEPS)
    if (std::strcmp(step.name, name) == 0) return &step;
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  // Lines end in a bare line feed and texts keep their bytes.
  _setmode(_fileno(stdout), _O_BINARY);
  Driver d;
  for (Args a = {argc, argv, 1}; a.at < argc; a.at++) {
    const Step* step = find_step(argv[a.at]);
    if (!step) fail(std::string("unknown step ") + argv[a.at]);
    step->run(d, a);
  }
  return 0;
}
