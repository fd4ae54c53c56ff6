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
#include <bits/functexcept.h>

#include <cstdlib>
#include <new>
#include <string>

namespace {

[[noreturn]] void fail() { std::abort(); }

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
