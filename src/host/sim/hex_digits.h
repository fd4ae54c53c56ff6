// hex_digits.h: hex digits as the machine profiles write numbers.
//
// One reading of hex digits for the registry files (dword: and hex: data)
// and machine.toml (version resource blocks such as "040904B0").
#pragma once

#include <cstdint>
#include <string>

inline bool is_hex_digit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value of a hex digit; `c` must be one.
inline unsigned hex_value(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  return static_cast<unsigned>(c - 'A' + 10);
}

// `text` as a number of 1 to 8 hex digits and nothing else.
inline bool hex_number(const std::string& text, std::uint32_t* out) {
  if (text.empty() || text.size() > 8) return false;
  std::uint32_t number = 0;
  for (char c : text) {
    if (!is_hex_digit(c)) return false;
    number = number << 4 | hex_value(c);
  }
  *out = number;
  return true;
}
