// step_output.cpp: the driver's "key: value" lines and its failure line.

#include "step_output.h"

#include <cstdio>
#include <cstdlib>

void print_line(const char* key, const std::string& value) {
  std::printf("%s: %s\n", key, value.c_str());
  std::fflush(stdout);
}

void print_lines(const char* key, const std::string& text) {
  std::size_t start = 0;
  for (;;) {
    std::size_t end = text.find('\n', start);
    print_line(key, text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

void fail(const std::string& why) {
  std::printf("error: %s\n", why.c_str());
  std::fflush(stdout);
  std::exit(1);
}
