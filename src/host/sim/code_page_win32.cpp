// code_page_win32.cpp: a code page's characters from Windows' own tables.
//
// For the tools' Windows build (dorvik-support.exe): the conversions that
// the simulated machine imitates, done by the system itself.

#include <windows.h>

#include "host/sim/code_page_convert.h"

struct CodePageConvert::State {
  UINT number;
};

namespace {

// The character as UTF-16: one unit, or a surrogate pair.
int utf16_of(char32_t c, WCHAR units[2]) {
  if (c < 0x10000) {
    units[0] = static_cast<WCHAR>(c);
    return 1;
  }
  units[0] = static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10));
  units[1] = static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF));
  return 2;
}

bool to_bytes(UINT number, DWORD flags, char32_t c, std::string* bytes) {
  WCHAR units[2];
  const int count = utf16_of(c, units);
  char out[8];
  BOOL used_default = FALSE;
  const int n = WideCharToMultiByte(number, flags, units, count, out, sizeof out, nullptr,
                                    flags ? &used_default : nullptr);
  if (n <= 0 || used_default) return false;
  bytes->assign(out, static_cast<std::size_t>(n));
  return true;
}

char32_t mapped(char32_t c, DWORD map) {
  if (c >= 0x10000) return c;
  WCHAR unit = static_cast<WCHAR>(c), out = 0;
  return LCMapStringW(LOCALE_INVARIANT, map, &unit, 1, &out, 1) == 1 ? out : c;
}

}  // namespace

CodePageConvert::CodePageConvert(int number, const char*)
    : state_(new State{.number = static_cast<UINT>(number)}) {}

CodePageConvert::~CodePageConvert() { delete state_; }

bool CodePageConvert::decode(const std::string& bytes, char32_t* c) {
  WCHAR units[4];
  const int n = MultiByteToWideChar(state_->number, MB_ERR_INVALID_CHARS, bytes.data(),
                                    static_cast<int>(bytes.size()), units, 4);
  if (n == 1 && (units[0] < 0xD800 || units[0] > 0xDFFF)) {
    *c = units[0];
    return true;
  }
  if (n == 2 && units[0] >= 0xD800 && units[0] <= 0xDBFF && units[1] >= 0xDC00 &&
      units[1] <= 0xDFFF) {
    *c = 0x10000 + ((static_cast<char32_t>(units[0]) - 0xD800) << 10) + (units[1] - 0xDC00);
    return true;
  }
  return false;
}

bool CodePageConvert::encode(char32_t c, std::string* bytes) {
  return to_bytes(state_->number, WC_NO_BEST_FIT_CHARS, c, bytes);
}

bool CodePageConvert::best_fit(char32_t c, std::string* bytes) {
  return to_bytes(state_->number, 0, c, bytes);
}

char32_t CodePageConvert::upper(char32_t c) { return mapped(c, LCMAP_UPPERCASE); }

char32_t CodePageConvert::lower(char32_t c) { return mapped(c, LCMAP_LOWERCASE); }

namespace {
// mingw's win32 thread model has no std::mutex: a critical section, made
// before main runs.
struct TablesSection {
  TablesSection() { InitializeCriticalSection(&section); }
  CRITICAL_SECTION section;
} tables_section;
}  // namespace

CodePageLock::CodePageLock() { EnterCriticalSection(&tables_section.section); }

CodePageLock::~CodePageLock() { LeaveCriticalSection(&tables_section.section); }
