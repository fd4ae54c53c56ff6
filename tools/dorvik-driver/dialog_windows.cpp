// dialog_windows.cpp: window searches, window texts and the pixels of images.

#include "dialog_windows.h"

#include <cstring>

namespace {

const char DIALOG_CLASS[] = "#32770";
const int MESSAGE_BOX_TEXT_ID = 0xFFFF;
// The icon control of a message box: 0x0440 in Wine's, 0x0014 in Windows'.
const int MESSAGE_BOX_ICON_IDS[] = {0x0440, 0x0014};

std::string to_ansi(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                 nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), &text[0], size,
                      nullptr, nullptr);
  return text;
}

bool is_visible_dialog(HWND window) {
  char cls[16] = "";
  GetClassNameA(window, cls, sizeof cls);
  return IsWindowVisible(window) && std::strcmp(cls, DIALOG_CLASS) == 0;
}

template <typename Visit>
BOOL CALLBACK visit_window(HWND window, LPARAM param) {
  (*reinterpret_cast<Visit*>(param))(window);
  return TRUE;
}

// Calls `visit` for every top-level window.
template <typename Visit>
void for_each_window(Visit visit) {
  EnumWindows(visit_window<Visit>, reinterpret_cast<LPARAM>(&visit));
}

// The name of the colour class that most of a control's screen pixels fall
// in; "none" when no pixel does or two classes tie. `classify` gives a
// pixel's class, or -1.
template <int N, typename Classify>
const char* dominant_colour(HWND control, const char* const (&names)[N], Classify classify) {
  RECT r;
  GetWindowRect(control, &r);
  int counts[N] = {};
  HDC screen = GetDC(nullptr);
  for (int y = r.top; y < r.bottom; y++)
    for (int x = r.left; x < r.right; x++) {
      int kind = classify(GetPixel(screen, x, y));
      if (kind >= 0) counts[kind]++;
    }
  ReleaseDC(nullptr, screen);
  int best = 0;
  for (int i = 1; i < N; i++)
    if (counts[i] > counts[best]) best = i;
  for (int i = 0; i < N; i++)
    if (i != best && counts[i] == counts[best]) return "none";
  return counts[best] > 0 ? names[best] : "none";
}

}  // namespace

std::string window_text(HWND window) {
  int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(window, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return to_ansi(text);
}

std::string message_box_text(HWND box) {
  HWND text = GetDlgItem(box, MESSAGE_BOX_TEXT_ID);
  return text ? window_text(text) : std::string();
}

HWND find_message_box(HWND dialog) {
  DWORD dialog_process = 0;
  GetWindowThreadProcessId(dialog, &dialog_process);
  HWND found = nullptr;
  for_each_window([&](HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (!found && window != dialog && process == dialog_process && is_visible_dialog(window))
      found = window;
  });
  return found;
}

std::vector<HWND> titled_windows(const std::string& title) {
  std::vector<HWND> found;
  for_each_window([&](HWND window) {
    if (is_visible_dialog(window) && window_text(window) == title) found.push_back(window);
  });
  return found;
}

std::vector<std::string> list_box_lines(HWND list) {
  std::vector<std::string> lines;
  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; i++) {
    int length = static_cast<int>(SendMessageW(list, LB_GETTEXTLEN, i, 0));
    std::wstring line(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    int got =
        static_cast<int>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&line[0])));
    line.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    lines.push_back(to_ansi(line));
  }
  return lines;
}

// The check mark is pure green, the X mark pure red, the question mark pure
// blue.
const char* status_image(HWND control) {
  static const char* const NAMES[] = {"check", "x", "question"};
  return dominant_colour(control, NAMES, [](COLORREF c) {
    if (c == RGB(0x00, 0xFF, 0x00)) return 0;
    if (c == RGB(0xFF, 0x00, 0x00)) return 1;
    if (c == RGB(0x00, 0x00, 0xFF)) return 2;
    return -1;
  });
}

// Wine's warning icon is a yellow triangle, its information icon a blue
// disc and its error icon a red one.
const char* message_box_icon(HWND box) {
  HWND control = nullptr;
  for (int id : MESSAGE_BOX_ICON_IDS)
    if (!control) control = GetDlgItem(box, id);
  if (!control || !IsWindowVisible(control)) return "none";
  static const char* const NAMES[] = {"warning", "information", "error"};
  return dominant_colour(control, NAMES, [](COLORREF c) {
    int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    if (r > 180 && g > 150 && b < 100) return 0;
    if (b > 150 && r < 120) return 1;
    if (r > 150 && g < 100 && b < 100) return 2;
    return -1;
  });
}
