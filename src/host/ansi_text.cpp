// ansi_text.cpp: character steps over ANSI texts.

#include "host/ansi_text.h"

std::size_t ansi_next(Host& host, const std::string& text, std::size_t at) {
  bool pair = host.is_lead_byte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
              text[at + 1] != '\0';
  return at + (pair ? 2 : 1);
}

std::size_t ansi_last_backslash(Host& host, const std::string& text) {
  std::size_t last = std::string::npos;
  for (std::size_t i = 0; i < text.size(); i = ansi_next(host, text, i))
    if (text[i] == '\\') last = i;
  return last;
}

std::size_t ansi_length(Host& host, const std::string& text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); i = ansi_next(host, text, i)) count++;
  return count;
}

std::size_t ansi_char_start(Host& host, const std::string& text, std::size_t n) {
  std::size_t i = 0;
  for (; i < text.size() && n > 0; n--) i = ansi_next(host, text, i);
  return i;
}

bool ansi_same_ignoring_case(Host& host, const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  std::string upper_a = a, upper_b = b;
  host.upper_case(&upper_a);
  host.upper_case(&upper_b);
  return upper_a == upper_b;
}
