// runtime_support.cpp: the C++ runtime pieces that Dorvik.exe provides itself.
//
// The program is built without exceptions. The standard library still names
// its throw helpers (a string grown past max_size(), an index out of range)
// and its throwing operator new; the library's own versions raise C++
// exceptions, and linking them would bring in the exception runtime, the
// unwinder and its thread support, whose imports Windows 95 does not have.
// Here each of those cases ends the program at once instead: they only
// arise from a fault in the program or from memory exhaustion, where no
// report could be trusted anyway.
//
// The formatter as well: libstdc++ turns on mingw-w64's own C99 printf, some
// twenty kilobytes with floating point, wide text and locale support, and
// their imports. The report's formats use only flags, widths and the
// d, u, X, c and s conversions, which msvcrt.dll formats the same way, so
// the C99 entry point that the program reaches is answered by msvcrt's.
#include <bits/functexcept.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

namespace {

[[noreturn]] void fail() { std::abort(); }

// msvcrt's _vsnprintf into the buffer: the length, or -1 when the text and
// its terminator do not fit.
int compose(char* buffer, std::size_t capacity, const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int length = _vsnprintf(buffer, capacity, format, copy);
  va_end(copy);
  return length >= 0 && static_cast<std::size_t>(length) < capacity ? length : -1;
}

}  // namespace

namespace std {

void __throw_bad_alloc() { fail(); }
void __throw_bad_array_new_length() { fail(); }
void __throw_length_error(const char*) { fail(); }
void __throw_logic_error(const char*) { fail(); }
void __throw_out_of_range(const char*) { fail(); }
void __throw_out_of_range_fmt(const char*, ...) { fail(); }
void __throw_invalid_argument(const char*) { fail(); }

}  // namespace std

void* operator new(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) fail();
  return block;
}

void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

// The library's prebuilt std::string is compiled with exceptions, so its
// members come with the exception runtime attached. Instantiating them here,
// without exceptions, gives the linker definitions of its own to use.
template class std::basic_string<char>;

// C99 vsnprintf on top of msvcrt's _vsnprintf, which returns -1 and leaves
// the text unterminated when it does not fit. A text that fits the caller's
// buffer is composed there; a longer one in a buffer that grows until it
// fits, for the length that C99 returns and the part that the caller keeps.
extern "C" int __mingw_vsnprintf(char* buffer, std::size_t capacity, const char* format,
                                 va_list args) {
  int length = capacity > 0 ? compose(buffer, capacity, format, args) : -1;
  for (std::size_t size = capacity < 128 ? 256 : capacity * 2; length < 0; size *= 2) {
    if (size > 0x100000) return -1;  // no report line comes anywhere near a megabyte
    char* text = static_cast<char*>(std::malloc(size));
    if (!text) fail();
    length = compose(text, size, format, args);
    if (length >= 0 && capacity > 0) {
      std::size_t kept = static_cast<std::size_t>(length) < capacity ? length : capacity - 1;
      std::memcpy(buffer, text, kept);
      buffer[kept] = '\0';
    }
    std::free(text);
  }
  return length;
}
