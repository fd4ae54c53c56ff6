// log_text.cpp: line ends and character sets of a report log.

#include "log_text.h"

#include <cstdint>

#include "host/sim/code_page.h"

namespace {

const char BOM[] = "\xEF\xBB\xBF";

// Splits on the file's own line end: CR LF when the file has one (a lone LF
// or CR is then text of the line, as a registry text may hold), else LF,
// else CR. A line end at the very end makes no further line.
void split_lines(const std::string& text, LogText* out) {
  std::string end = text.find("\r\n") != std::string::npos ? "\r\n"
                    : text.find('\n') != std::string::npos ? "\n"
                                                           : "\r";
  out->line_ends = end == "\r\n" ? "CR LF" : end == "\n" ? "LF" : "CR";
  std::string::size_type at = 0;
  int number = 1;
  while (at < text.size()) {
    std::string::size_type next = text.find(end, at);
    if (next == std::string::npos) next = text.size();
    out->lines.push_back(text.substr(at, next - at));
    out->numbers.push_back(number++);
    at = next + end.size();
  }
}

// One UTF-8 sequence at `at`: its code point and length, or false.
bool utf8_sequence(const std::string& s, std::size_t at, std::uint32_t* code, std::size_t* length) {
  unsigned char c = static_cast<unsigned char>(s[at]);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || at + n > s.size()) return false;
  std::uint32_t value = n == 1 ? c : c & (0x7F >> n);
  for (std::size_t i = 1; i < n; i++) {
    unsigned char follow = static_cast<unsigned char>(s[at + i]);
    if ((follow >> 6) != 2) return false;
    value = value << 6 | (follow & 0x3F);
  }
  const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < least[n] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
  *code = value;
  *length = n;
  return true;
}

// True when the whole text is UTF-8 and holds at least one character beyond
// ASCII: a Windows-1252 text almost never reads so by chance.
bool looks_utf8(const std::string& s) {
  bool beyond_ascii = false;
  for (std::size_t at = 0; at < s.size();) {
    std::uint32_t code = 0;
    std::size_t length = 0;
    if (!utf8_sequence(s, at, &code, &length)) return false;
    beyond_ascii = beyond_ascii || length > 1;
    at += length;
  }
  return beyond_ascii;
}

// UTF-8 back to the Windows-1252 bytes it was converted from.
LogText utf8_reading(const std::string& text, const char* encoding) {
  LogText out;
  split_lines(text, &out);
  out.encoding = encoding;
  for (std::size_t i = 0; i < out.lines.size(); i++) {
    const std::string& line = out.lines[i];
    for (std::size_t at = 0; at < line.size();) {
      std::uint32_t code = 0;
      std::size_t length = 0;
      if (!utf8_sequence(line, at, &code, &length)) {
        out.bad_line = out.numbers[i];
        out.bad_reason = "bytes that are not UTF-8 in a file that begins as UTF-8";
        return out;
      }
      at += length;
    }
    out.lines[i] = code_page_from_utf8(CODE_PAGE_DEFAULT, line);
  }
  return out;
}

LogText ansi_reading(const std::string& bytes) {
  LogText out;
  split_lines(bytes, &out);
  out.encoding = "Windows-1252";
  return out;
}

}  // namespace

std::vector<LogText> log_readings(const std::string& bytes) {
  if (bytes.compare(0, 3, BOM) == 0)
    return {utf8_reading(bytes.substr(3), "UTF-8 with byte-order mark")};
  if (looks_utf8(bytes)) return {utf8_reading(bytes, "UTF-8"), ansi_reading(bytes)};
  return {ansi_reading(bytes)};
}

bool is_blank_line(const std::string& line) { return line == " " || line.empty(); }
