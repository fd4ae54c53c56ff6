// reg_lines.cpp: decoding a registry file line by line.

#include "host/sim/reg_lines.h"

#include <cstdint>

#include "host/sim/utf8_append.h"

namespace {

const char32_t DOS_END_OF_FILE = 0x1A;
const char32_t REPLACEMENT = 0xFFFD;

// A UTF-16 code unit's low byte that stands for itself in a line, when its
// high byte is 0: ASCII, and neither a line end nor the end of the file.
bool is_plain(char byte) {
  unsigned char b = static_cast<unsigned char>(byte);
  return b < 0x80 && (b >= 0x20 || (b != '\r' && b != '\n' && b != DOS_END_OF_FILE));
}

}  // namespace

char32_t RegLineReader::peek(std::size_t* after) const {
  if (!utf16_) {
    *after = at_ + 1;
    return static_cast<unsigned char>(bytes_[at_]);
  }
  auto unit_at = [this](std::size_t i) {
    return static_cast<char32_t>(static_cast<std::uint8_t>(bytes_[i]) |
                                 static_cast<std::uint8_t>(bytes_[i + 1]) << 8);
  };
  char32_t c = unit_at(at_);
  *after = at_ + 2;
  if (c >= 0xD800 && c <= 0xDBFF && at_ + 3 < bytes_.size() && unit_at(at_ + 2) >= 0xDC00 &&
      unit_at(at_ + 2) <= 0xDFFF) {
    *after = at_ + 4;
    return 0x10000 + ((c - 0xD800) << 10) + (unit_at(at_ + 2) - 0xDC00);
  }
  return c >= 0xD800 && c <= 0xDFFF ? REPLACEMENT : c;
}

// Most of an export is text without line ends: such a run is copied at
// once, not character by character (a code page file's bytes as they are,
// a Unicode file's ASCII).
void RegLineReader::append_plain_run(std::string* text) {
  const char* from = bytes_.data() + at_;
  const char* end = bytes_.data() + bytes_.size();
  const char* stop = from;
  std::size_t count = 0;
  if (utf16_) {
    while (stop + 1 < end && stop[1] == 0 && is_plain(stop[0])) stop += 2;
    count = static_cast<std::size_t>(stop - from) / 2;
  } else {
    while (stop < end && *stop != '\r' && *stop != '\n' &&
           *stop != static_cast<char>(DOS_END_OF_FILE))
      stop++;
    count = static_cast<std::size_t>(stop - from);
  }
  std::size_t old = text->size();
  text->resize(old + count);
  char* out = &(*text)[old];
  std::size_t step = utf16_ ? 2 : 1;
  for (std::size_t k = 0; k < count; k++) out[k] = from[k * step];
  at_ += static_cast<std::size_t>(stop - from);
}

bool RegLineReader::at_end() const {
  std::size_t after = 0;
  return ended_ || at_ + (utf16_ ? 2 : 1) > bytes_.size() || peek(&after) == DOS_END_OF_FILE;
}

bool RegLineReader::next(RegLine* line) {
  std::size_t unit = utf16_ ? 2 : 1;
  if (ended_ || at_ + unit > bytes_.size()) return false;
  line->text.clear();
  line->end.clear();
  while (at_ + unit <= bytes_.size()) {
    append_plain_run(&line->text);
    if (at_ + unit > bytes_.size()) break;
    std::size_t after = 0;
    char32_t c = peek(&after);
    if (c == DOS_END_OF_FILE) {
      ended_ = true;
      break;
    }
    at_ = after;
    if (c == '\r' || c == '\n') {
      line->end.push_back(static_cast<char>(c));
      if (c == '\r' && at_ + unit <= bytes_.size() && peek(&after) == '\n') {
        line->end.push_back('\n');
        at_ = after;
      }
      line->number = ++number_;
      return true;
    }
    if (utf16_)
      append_utf8(c, &line->text);
    else
      line->text.push_back(static_cast<char>(c));
  }
  // The last line has no line end; an empty one is no line at all.
  if (line->text.empty()) return false;
  line->number = ++number_;
  return true;
}
