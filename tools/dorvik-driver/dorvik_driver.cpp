// dorvik_driver.cpp: drives Dorvik's dialog from outside, the way a person does.
//
// A console program for the demo and the tests under Wine. Its arguments are a sequence
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
//   local-time                   print the local date and time, as GetLocalTime
//                                gives it to this process
//   facts                        print what the machine offers the program: the
//                                version record, the Windows and temporary
//                                directories, the locale settings, the offset
//                                from UTC, the UserPort service, the TMEX
//                                library's answers, and the registry keys the
//                                program reads, in regedit's REGEDIT4 form
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

// Which standard icon a message box shows, by the colours of its icon
// control's pixels: Wine's warning icon is a yellow triangle, its information
// icon a blue disc and its error icon a red one.
const char* message_box_icon(HWND box) {
  // The icon control's id: 0x0440 in Wine's message box, 0x0014 in Windows'.
  HWND control = GetDlgItem(box, 0x0440);
  if (!control) control = GetDlgItem(box, 0x0014);
  if (!control || !IsWindowVisible(control)) return "none";
  RECT r;
  GetWindowRect(control, &r);
  HDC screen = GetDC(nullptr);
  int yellow = 0, blue = 0, red = 0;
  for (int y = r.top; y < r.bottom; y++) {
    for (int x = r.left; x < r.right; x++) {
      COLORREF c = GetPixel(screen, x, y);
      int rv = GetRValue(c), gv = GetGValue(c), bv = GetBValue(c);
      if (rv > 180 && gv > 150 && bv < 100)
        yellow++;
      else if (bv > 150 && rv < 120)
        blue++;
      else if (rv > 150 && gv < 100 && bv < 100)
        red++;
    }
  }
  ReleaseDC(nullptr, screen);
  if (yellow > blue && yellow > red) return "warning";
  if (blue > yellow && blue > red) return "information";
  if (red > yellow && red > blue) return "error";
  return "none";
}

struct TitleSearch {
  const char* title;
  std::vector<HWND> found;
};

BOOL CALLBACK find_titled(HWND window, LPARAM param) {
  TitleSearch* search = reinterpret_cast<TitleSearch*>(param);
  char cls[16] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (IsWindowVisible(window) && std::strcmp(cls, "#32770") == 0 &&
      window_text(window) == search->title)
    search->found.push_back(window);
  return TRUE;
}

// The visible dialog-class top-level windows titled TITLE, of every process.
std::vector<HWND> titled_windows(const char* title) {
  TitleSearch search = {title, {}};
  EnumWindows(find_titled, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void step_wait_count(const char* title, std::size_t count, DWORD timeout) {
  DWORD start = GetTickCount();
  std::size_t seen;
  while ((seen = titled_windows(title).size()) != count) {
    if (GetTickCount() - start >= timeout)
      fail(std::to_string(seen) + " windows titled \"" + title + "\", expected " +
           std::to_string(count));
    Sleep(POLL_MS);
  }
  print_line("window-count", std::to_string(seen));
}

void step_dismiss_all(const char* title, DWORD timeout) {
  std::vector<HWND> boxes = titled_windows(title);
  for (HWND box : boxes) {
    HWND text = GetDlgItem(box, MESSAGE_BOX_TEXT_ID);
    print_lines("msgbox-text", text ? window_text(text) : std::string());
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  DWORD start = GetTickCount();
  while (!titled_windows(title).empty()) {
    if (GetTickCount() - start >= timeout) fail("message boxes still up");
    Sleep(POLL_MS);
  }
  print_line("dismissed", std::to_string(boxes.size()));
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

void step_local_time() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[40];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay,
                t.wHour, t.wMinute, t.wSecond);
  print_line("local-time", text);
}

// The keys below HKEY_LOCAL_MACHINE that the program reads.
const char* const READ_KEYS[] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
    "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
    "Software\\Dallas Semiconductor\\iButton TMEX\\3.00",
    "System\\CurrentControlSet\\Services\\VxD\\Rockey9x",
    "System\\CurrentControlSet\\Services\\DS1410D",
    "System\\CurrentControlSet\\Control\\VirtualDeviceDrivers",
};

std::string reg_quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Every value of a key, byte for byte as RegQueryValueExA gives it, as
// "name"=hex(TYPE):bytes lines; an unopenable key is left out.
void print_key(const char* path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  print_line("reg", std::string("[HKEY_LOCAL_MACHINE\\") + path + "]");
  for (DWORD i = 0;; i++) {
    char name[1024];
    DWORD name_size = sizeof name, type = 0, data_size = 0;
    LONG rc = RegEnumValueA(key, i, name, &name_size, nullptr, &type, nullptr, &data_size);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA) continue;
    std::vector<BYTE> data(data_size + 1);
    DWORD got = data_size + 1;
    if (RegQueryValueExA(key, name, nullptr, &type, data.data(), &got) != ERROR_SUCCESS) continue;
    std::string line =
        (name[0] ? reg_quoted(name) : std::string("@")) + "=hex(" + std::to_string(type) + "):";
    for (DWORD b = 0; b < got; b++) {
      char hex[4];
      std::snprintf(hex, sizeof hex, b ? ",%02x" : "%02x", data[b]);
      line += hex;
    }
    print_line("reg", line);
  }
  RegCloseKey(key);
}

void print_service_fact() {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, GENERIC_READ);
  if (!manager) {
    print_line("fact-service", "manager-error " + std::to_string(GetLastError()));
    return;
  }
  SC_HANDLE service = OpenServiceA(manager, "UserPort", SERVICE_QUERY_STATUS);
  if (!service) {
    print_line("fact-service", "open-error " + std::to_string(GetLastError()));
  } else {
    SERVICE_STATUS status;
    if (QueryServiceStatus(service, &status))
      print_line("fact-service", "state " + std::to_string(status.dwCurrentState));
    else
      print_line("fact-service", "query-fails");
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

typedef short(WINAPI* TypeVersionFunction)(short, char*);

void print_tmex_fact() {
  HMODULE library = LoadLibraryA("IBFS32.DLL");
  if (!library) {
    print_line("fact-tmex", "absent");
    return;
  }
  FARPROC found = GetProcAddress(library, "TMGetTypeVersion");
  if (!found) {
    print_line("fact-tmex", "no-function " + std::to_string(GetLastError()));
  } else {
    TypeVersionFunction type_version =
        reinterpret_cast<TypeVersionFunction>(reinterpret_cast<void*>(found));
    std::string answers = "answers";
    for (short port_type : {1, 2, 5}) {
      char text[256] = "";
      answers += " " + std::to_string(port_type) + "=" +
                 std::to_string(static_cast<unsigned short>(type_version(port_type, text)));
    }
    print_line("fact-tmex", answers);
  }
  FreeLibrary(library);
}

void step_facts() {
  OSVERSIONINFOA version;
  version.dwOSVersionInfoSize = sizeof version;
  if (GetVersionExA(&version))
    print_line("fact-version", std::to_string(version.dwPlatformId) + " " +
                                   std::to_string(version.dwMajorVersion) + " " +
                                   std::to_string(version.dwMinorVersion) + " " +
                                   std::to_string(version.dwBuildNumber));
  else
    print_line("fact-version", "unreadable");
  char path[MAX_PATH + 1] = "";
  GetWindowsDirectoryA(path, sizeof path);
  print_line("fact-windows-dir", path);
  GetTempPathA(sizeof path, path);
  print_line("fact-temp-path", path);
  for (LCTYPE setting : {29, 33, 30, 35}) {
    char text[80] = "";
    int got = GetLocaleInfoA(LOCALE_USER_DEFAULT, setting, text, sizeof text);
    print_line("fact-locale", std::to_string(setting) + (got ? " " + std::string(text) : ""));
  }
  TIME_ZONE_INFORMATION zone;
  DWORD kind = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : 0);
  print_line("fact-utc-offset", std::to_string(-bias));
  print_service_fact();
  print_tmex_fact();
  for (const char* key : READ_KEYS) print_key(key);
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
    } else if (step == "wait-msgbox") {
      const char* caption = next_arg(argc, argv, &i, "wait-msgbox");
      DWORD timeout = seconds_arg(argc, argv, &i, 10);
      DWORD start = GetTickCount();
      while (!(d.message_box = FindWindowA("#32770", caption))) {
        if (GetTickCount() - start >= timeout)
          fail(std::string("no message box titled \"") + caption + "\"");
        Sleep(POLL_MS);
      }
      print_lines("msgbox-caption", window_text(d.message_box));
      HWND text = GetDlgItem(d.message_box, MESSAGE_BOX_TEXT_ID);
      print_lines("msgbox-text", text ? window_text(text) : std::string());
    } else if (step == "msgbox-icon") {
      if (!d.message_box || !IsWindow(d.message_box)) fail("no message box (msgbox first)");
      // The icon is painted a moment after the box appears.
      const char* icon = "none";
      for (DWORD start = GetTickCount(); GetTickCount() - start < 2000; Sleep(POLL_MS))
        if (std::strcmp(icon = message_box_icon(d.message_box), "none") != 0) break;
      print_line("msgbox-icon", icon);
    } else if (step == "count-windows") {
      const char* title = next_arg(argc, argv, &i, "count-windows");
      print_line("window-count", std::to_string(titled_windows(title).size()));
    } else if (step == "wait-count") {
      const char* title = next_arg(argc, argv, &i, "wait-count");
      std::size_t count =
          static_cast<std::size_t>(std::atoi(next_arg(argc, argv, &i, "wait-count")));
      step_wait_count(title, count, seconds_arg(argc, argv, &i, 10));
    } else if (step == "dismiss-all") {
      const char* title = next_arg(argc, argv, &i, "dismiss-all");
      step_dismiss_all(title, seconds_arg(argc, argv, &i, 10));
    } else if (step == "local-time") {
      step_local_time();
    } else if (step == "facts") {
      step_facts();
    } else if (step == "sleep") {
      Sleep(static_cast<DWORD>(std::atoi(next_arg(argc, argv, &i, "sleep"))));
    } else {
      fail("unknown step " + step);
    }
  }
  return 0;
}
