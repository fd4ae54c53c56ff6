// dorvik_driver.cpp: drives Dorvik's dialog from outside, the way a person does.
//
// A console program for the tests under Wine. Its arguments are a sequence
// of steps, performed in order; each step prints what it saw as lines of the
// form "key: value" on standard output (text in the ANSI code page, exactly
// as the dialog holds it), and the program stops with exit code 1 at the
// first step that fails, after printing "error: ...".
//
// Steps:
//   wait-window TITLE [SECONDS]  find the dialog (class #32770) by its exact title
//   title                        print the dialog's title
//   press ID [SECONDS]           press a button: the command is sent from a helper
//                                thread, and the step returns once the command has
//                                been handled or a message box has come up
//   msgbox [SECONDS]             wait for a message box of the dialog's process and
//                                print its caption and its text (one line each)
//   dismiss                      press OK in that message box and wait until the
//                                command behind it has been handled
//   list                         print the status list's lines and their count
//   icons                        print each status icon: enabled or not, and which
//                                image it shows, read from the screen's pixels
//   rect                         print the dialog's screen rectangle
//   key VK                       post a key press (down and up) to the dialog
//   wait-gone [SECONDS]          wait until the dialog window no longer exists
//   sleep MILLISECONDS           wait
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int STATUS_LIST_ID = 3051;
const int STATUS_ICON_IDS[] = {3053, 3054, 3055, 3056, 3057, 3058, 3059,
                               3061, 3062, 3063, 3064, 3065, 3066};
const int MESSAGE_BOX_TEXT_ID = 0xFFFF;
const DWORD POLL_MS = 20;

struct Driver {
  HWND dialog = nullptr;
  HWND message_box = nullptr;
  HANDLE pending_command = nullptr;  // helper thread still sending a command
};

[[noreturn]] void fail(const std::string& why) {
  std::printf("error: %s\n", why.c_str());
  std::fflush(stdout);
  std::exit(1);
}

void print_line(const char* key, const std::string& value) {
  std::printf("%s: %s\n", key, value.c_str());
  std::fflush(stdout);
}

// Window texts are read as UTF-16 (the ANSI message returns UTF-16 across
// processes under Wine) and turned back into the ANSI code page.
std::string to_ansi(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], size,
                      nullptr, nullptr);
  return text;
}

std::string window_text(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(window, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return to_ansi(text);
}

// Prints a text that may hold line breaks as one "key: ..." line per line.
void print_lines(const char* key, const std::string& text) {
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find('\n', start);
    print_line(key, text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

DWORD seconds_arg(int argc, char** argv, int* i, DWORD fallback) {
  if (*i + 1 < argc && argv[*i + 1][0] >= '0' && argv[*i + 1][0] <= '9')
    return static_cast<DWORD>(std::atof(argv[++*i]) * 1000);
  return fallback * 1000;
}

const char* next_arg(int argc, char** argv, int* i, const char* step) {
  if (*i + 1 >= argc) fail(std::string(step) + " needs an argument");
  return argv[++*i];
}

void need_dialog(const Driver& d) {
  if (!d.dialog || !IsWindow(d.dialog)) fail("no dialog (wait-window first)");
}

struct BoxSearch {
  HWND dialog;
  DWORD process;
  HWND found;
};

BOOL CALLBACK find_box(HWND window, LPARAM param) {
  BoxSearch* search = reinterpret_cast<BoxSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  char cls[16] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (window != search->dialog && process == search->process && IsWindowVisible(window) &&
      std::strcmp(cls, "#32770") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// A visible dialog-class window of the dialog's process, other than the dialog.
HWND find_message_box(HWND dialog) {
  BoxSearch search = {dialog, 0, nullptr};
  GetWindowThreadProcessId(dialog, &search.process);
  EnumWindows(find_box, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct SentCommand {
  HWND dialog;
  int id;
};

DWORD WINAPI send_command(void* param) {
  SentCommand* command = static_cast<SentCommand*>(param);
  HWND button = GetDlgItem(command->dialog, command->id);
  SendMessageW(command->dialog, WM_COMMAND, MAKEWPARAM(command->id, BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
  delete command;
  return 0;
}

// Waits until the pending command has been handled, or a message box is up.
// Returns true when the command is done.
bool wait_command(Driver& d, DWORD timeout) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeout) {
    if (WaitForSingleObject(d.pending_command, POLL_MS) == WAIT_OBJECT_0) {
      CloseHandle(d.pending_command);
      d.pending_command = nullptr;
      return true;
    }
    if (IsWindow(d.dialog) && find_message_box(d.dialog)) return false;
  }
  fail("command still running after the timeout");
}

void step_press(Driver& d, int id, DWORD timeout) {
  need_dialog(d);
  if (d.pending_command) fail("a command is still pending (dismiss its message box first)");
  SentCommand* command = new SentCommand{d.dialog, id};
  d.pending_command = CreateThread(nullptr, 0, send_command, command, 0, nullptr);
  if (!d.pending_command) fail("cannot start the sending thread");
  print_line("pressed", wait_command(d, timeout) ? "done" : "message box");
}

void step_msgbox(Driver& d, DWORD timeout) {
  need_dialog(d);
  DWORD start = GetTickCount();
  while (!(d.message_box = find_message_box(d.dialog))) {
    if (GetTickCount() - start >= timeout) fail("no message box");
    Sleep(POLL_MS);
  }
  print_lines("msgbox-caption", window_text(d.message_box));
  HWND text = GetDlgItem(d.message_box, MESSAGE_BOX_TEXT_ID);
  print_lines("msgbox-text", text ? window_text(text) : std::string());
}

void step_dismiss(Driver& d, DWORD timeout) {
  if (!d.message_box || !IsWindow(d.message_box)) fail("no message box to dismiss");
  PostMessageW(d.message_box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  DWORD start = GetTickCount();
  while (IsWindow(d.message_box)) {
    if (GetTickCount() - start >= timeout) fail("message box still up");
    Sleep(POLL_MS);
  }
  d.message_box = nullptr;
  if (d.pending_command) print_line("pressed", wait_command(d, timeout) ? "done" : "message box");
}

void step_list(Driver& d) {
  need_dialog(d);
  HWND list = GetDlgItem(d.dialog, STATUS_LIST_ID);
  if (!list) fail("no status list");
  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; i++) {
    int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, i, 0));
    std::wstring line(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    int got =
        static_cast<int>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0])));
    line.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    print_line("list", to_ansi(line));
  }
  print_line("list-count", std::to_string(count));
}

// Which of the three status images a control shows, by the colours of its
// pixels on the screen: the check mark is green, the X mark red, the
// question mark blue; none of them means an empty frame.
const char* icon_image(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  HDC screen = GetDC(nullptr);
  int green = 0, red = 0, blue = 0;
  for (int y = r.top; y < r.bottom; y++) {
    for (int x = r.left; x < r.right; x++) {
      COLORREF c = GetPixel(screen, x, y);
      if (c == RGB(0x00, 0xFF, 0x00)) green++;
      if (c == RGB(0xFF, 0x00, 0x00)) red++;
      if (c == RGB(0x00, 0x00, 0xFF)) blue++;
    }
  }
  ReleaseDC(nullptr, screen);
  if (green > red && green > blue) return "check";
  if (red > green && red > blue) return "x";
  if (blue > green && blue > red) return "question";
  return "none";
}

void step_icons(Driver& d) {
  need_dialog(d);
  for (int id : STATUS_ICON_IDS) {
    HWND control = GetDlgItem(d.dialog, id);
    if (!control) fail("no icon control " + std::to_string(id));
    std::string state = std::to_string(id) +
                        (IsWindowEnabled(control) ? " enabled " : " disabled ") +
                        icon_image(control);
    print_line("icon", state);
  }
}

void step_rect(Driver& d) {
  need_dialog(d);
  RECT r;
  GetWindowRect(d.dialog, &r);
  print_line("rect", std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top));
}

}  // namespace

int main(int argc, char** argv) {
  // Lines end in a bare line feed and texts keep their bytes.
  _setmode(_fileno(stdout), _O_BINARY);
  Driver d;
  for (int i = 1; i < argc; i++) {
    std::string step = argv[i];
    if (step == "wait-window") {
      const char* title = next_arg(argc, argv, &i, "wait-window");
      DWORD timeout = seconds_arg(argc, argv, &i, 10);
      DWORD start = GetTickCount();
      while (!(d.dialog = FindWindowA("#32770", title))) {
        if (GetTickCount() - start >= timeout)
          fail(std::string("no window titled \"") + title + "\"");
        Sleep(POLL_MS);
      }
      print_line("window", "found");
    } else if (step == "title") {
      need_dialog(d);
      print_line("title", window_text(d.dialog));
    } else if (step == "press") {
      int id = std::atoi(next_arg(argc, argv, &i, "press"));
      step_press(d, id, seconds_arg(argc, argv, &i, 30));
    } else if (step == "msgbox") {
      step_msgbox(d, seconds_arg(argc, argv, &i, 10));
    } else if (step == "dismiss") {
      step_dismiss(d, seconds_arg(argc, argv, &i, 30));
    } else if (step == "list") {
      step_list(d);
    } else if (step == "icons") {
      step_icons(d);
    } else if (step == "rect") {
      step_rect(d);
    } else if (step == "key") {
      need_dialog(d);
      WPARAM key = static_cast<WPARAM>(std::atoi(next_arg(argc, argv, &i, "key")));
      HWND focus = GetDlgItem(d.dialog, 3003);
      PostMessageW(focus ? focus : d.dialog, WM_KEYDOWN, key, 1);
      PostMessageW(focus ? focus : d.dialog, WM_KEYUP, key, 0xC0000001);
      print_line("key", std::to_string(key));
    } else if (step == "wait-gone") {
      // The dialog may be gone already: that is what this step waits for.
      if (!d.dialog) fail("no dialog (wait-window first)");
      DWORD timeout = seconds_arg(argc, argv, &i, 10);
      DWORD start = GetTickCount();
      while (IsWindow(d.dialog)) {
        if (GetTickCount() - start >= timeout) fail("dialog still there");
        Sleep(POLL_MS);
      }
      print_line("window", "gone");
    } else if (step == "sleep") {
      Sleep(static_cast<DWORD>(std::atoi(next_arg(argc, argv, &i, "sleep"))));
    } else {
      fail("unknown step " + step);
    }
  }
  return 0;
}
