// code_page.cpp: Windows ANSI code pages from the platform's tables.
//
// Each code page is opened once and its single-byte and case tables built on
// first use. Characters are converted one at a time, so that one that the
// code page lacks costs that character only, as on Windows.

#include "host/sim/code_page.h"

#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "host/sim/code_page_convert.h"
#include "host/sim/utf8_append.h"

namespace {

struct CodePageInfo {
  int number;
  const char* iconv_name;
  // Lead bytes of a double-byte code page: up to two ranges, none when 0.
  unsigned char lead_ranges[2][2];
};

const CodePageInfo CODE_PAGES[] = {
    {874, "CP874", {}},
    {932, "CP932", {{0x81, 0x9F}, {0xE0, 0xFC}}},
    {936, "CP936", {{0x81, 0xFE}, {}}},
    {949, "CP949", {{0x81, 0xFE}, {}}},
    {950, "CP950", {{0x81, 0xFE}, {}}},
    {1250, "CP1250", {}},
    {1251, "CP1251", {}},
    {1252, "CP1252", {}},
    {1253, "CP1253", {}},
    {1254, "CP1254", {}},
    {1255, "CP1255", {}},
    {1256, "CP1256", {}},
    {1257, "CP1257", {}},
    {1258, "CP1258", {}},
};

const char32_t NO_CHAR = 0xFFFFFFFF;
const char DEFAULT_CHAR = '?';

const CodePageInfo* find_code_page(int number) {
  for (const CodePageInfo& info : CODE_PAGES)
    if (info.number == number) return &info;
  return nullptr;
}

// An unknown code page is read as the default one: the loader refuses
// unknown numbers, so this only keeps a hand-built machine sound.
const CodePageInfo& code_page_info(int number) {
  const CodePageInfo* info = find_code_page(number);
  return info ? *info : *find_code_page(CODE_PAGE_DEFAULT);
}

bool in_lead_ranges(const CodePageInfo& info, unsigned char byte) {
  for (const auto& range : info.lead_ranges)
    if (range[0] != 0 && byte >= range[0] && byte <= range[1]) return true;
  return false;
}

class Tables {
 public:
  explicit Tables(const CodePageInfo& info) : info_(info), convert_(info.number, info.iconv_name) {
    for (int b = 0; b < 256; b++) {
      std::string byte(1, static_cast<char>(b));
      single_[b] = in_lead_ranges(info, static_cast<unsigned char>(b)) ? NO_CHAR : decode(byte);
      std::string up = byte, low = byte;
      if (single_[b] != NO_CHAR) map_case(single_[b], byte, &up, &low);
      upper_byte_[b] = up[0];
      lower_byte_[b] = low[0];
    }
    for (int lead = 0x81; lead <= 0xFE; lead++) {
      if (!in_lead_ranges(info, static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFE; trail++) {
        std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
        char32_t c = decode(pair);
        std::string up = pair, low = pair;
        if (c != NO_CHAR) map_case(c, pair, &up, &low);
        if (up != pair) double_upper_[pair] = up;
        if (low != pair) double_lower_[pair] = low;
      }
    }
  }

  Tables(const Tables&) = delete;
  Tables& operator=(const Tables&) = delete;

  // The character of one or two bytes, or NO_CHAR.
  char32_t decode(const std::string& bytes) {
    char32_t out = 0;
    return convert_.decode(bytes, &out) ? out : NO_CHAR;
  }

  // One character in the code page: its own bytes; else, for a C1 control
  // whose byte the code page leaves undefined, that byte (Windows maps those
  // through); else a best fit of one character; else the default character.
  std::string encode(char32_t c) {
    std::string exact;
    if (convert_.encode(c, &exact)) return exact;
    if (c >= 0x80 && c <= 0x9F && single_[c] == NO_CHAR && !in_lead_ranges(info_, c))
      return std::string(1, static_cast<char>(c));
    std::string fit;
    if (convert_.best_fit(c, &fit) && !fit.empty() &&
        code_page_char_length(info_.number, fit, 0) == fit.size())
      return fit;
    return std::string(1, DEFAULT_CHAR);
  }

  // In place: a character's case mate has as many bytes as the character.
  void map(std::string* text, bool upper) {
    const char* single = upper ? upper_byte_ : lower_byte_;
    const auto& doubles = upper ? double_upper_ : double_lower_;
    for (std::size_t i = 0; i < text->size();) {
      std::size_t length = code_page_char_length(info_.number, *text, i);
      if (length == 1) {
        (*text)[i] = single[static_cast<unsigned char>((*text)[i])];
      } else if (!doubles.empty()) {
        auto it = doubles.find(text->substr(i, 2));
        if (it != doubles.end()) text->replace(i, 2, it->second);
      }
      i += length;
    }
  }

  // encode() of a character below U+10000, remembered: a registry export
  // repeats the same few characters millions of times, and iconv converts
  // one at a time. Each entry packs the length (1 or 2) above the bytes; 0
  // is not yet known.
  void encode_into(char32_t c, std::string* out) {
    if (c >= 0x10000) {
      *out += encode(c);
      return;
    }
    if (encoded_.empty()) encoded_.assign(0x10000, 0);
    std::uint32_t& known = encoded_[c];
    if (known == 0) {
      std::string bytes = encode(c);
      known = static_cast<std::uint32_t>(bytes.size()) << 16 |
              static_cast<unsigned char>(bytes[0]) << 8 |
              (bytes.size() > 1 ? static_cast<unsigned char>(bytes[1]) : 0);
    }
    out->push_back(static_cast<char>(known >> 8 & 0xFF));
    if (known >> 16 == 2) out->push_back(static_cast<char>(known & 0xFF));
  }

 private:
  // A case mate counts only when the code page has it in as many bytes.
  void map_case(char32_t c, const std::string& bytes, std::string* up, std::string* low) {
    std::string mate;
    if (convert_.encode(convert_.upper(c), &mate) && mate.size() == bytes.size()) *up = mate;
    if (convert_.encode(convert_.lower(c), &mate) && mate.size() == bytes.size()) *low = mate;
  }

  const CodePageInfo& info_;
  CodePageConvert convert_;
  char32_t single_[256];
  char upper_byte_[256], lower_byte_[256];
  std::vector<std::uint32_t> encoded_;
  std::map<std::string, std::string> double_upper_, double_lower_;
};

// The tables of a code page, built once; callers hold a CodePageLock, since
// the conversions may keep state between calls (iconv's descriptors do).
Tables& tables(int number) {
  static std::map<int, Tables> built;
  const CodePageInfo& info = code_page_info(number);
  auto it = built.find(info.number);
  if (it == built.end())
    it = built
             .emplace(std::piecewise_construct, std::forward_as_tuple(info.number),
                      std::forward_as_tuple(info))
             .first;
  return it->second;
}

// The code page's text as characters, a byte it lacks as the default
// character; with `c1_through`, an undefined C1 byte of a single-byte code
// page is mapped through, as MultiByteToWideChar does (and encode the other
// way); messages show it as the default character.
template <typename Append>
void decode_text(int code_page, const std::string& text, bool c1_through, Append append) {
  CodePageLock hold;
  Tables& t = tables(code_page);
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = code_page_char_length(code_page, text, i);
    char32_t c = t.decode(text.substr(i, length));
    unsigned char first = static_cast<unsigned char>(text[i]);
    if (c1_through && c == NO_CHAR && length == 1 && first >= 0x80 && first <= 0x9F &&
        !code_page_lead_byte(code_page, first))
      c = first;
    append(c == NO_CHAR ? DEFAULT_CHAR : c);
    i += length;
  }
}

}  // namespace

bool code_page_known(int code_page) { return find_code_page(code_page) != nullptr; }

bool code_page_lead_byte(int code_page, unsigned char byte) {
  return in_lead_ranges(code_page_info(code_page), byte);
}

std::size_t code_page_char_length(int code_page, const std::string& text, std::size_t at) {
  return code_page_lead_byte(code_page, static_cast<unsigned char>(text[at])) &&
                 at + 1 < text.size() && text[at + 1] != '\0'
             ? 2
             : 1;
}

bool code_page_ends_with(int code_page, const std::string& text, char c) {
  std::size_t last = 0, i = 0;
  while (i < text.size()) {
    last = i;
    i += code_page_char_length(code_page, text, i);
  }
  return !text.empty() && text[last] == c && last + 1 == text.size();
}

std::string code_page_from_utf16(int code_page, const std::string& utf16le) {
  CodePageLock hold;
  Tables& t = tables(code_page);
  std::string out;
  for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2) {
    char32_t unit = static_cast<unsigned char>(utf16le[i]) |
                    static_cast<char32_t>(static_cast<unsigned char>(utf16le[i + 1])) << 8;
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < utf16le.size()) {
      char32_t low = static_cast<unsigned char>(utf16le[i + 2]) |
                     static_cast<char32_t>(static_cast<unsigned char>(utf16le[i + 3])) << 8;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF)
      out.push_back(DEFAULT_CHAR);
    else
      t.encode_into(unit, &out);
  }
  return out;
}

std::string code_page_from_utf8(int code_page, const std::string& utf8) {
  std::string utf16;
  auto unit = [&utf16](char32_t u) {
    utf16.push_back(static_cast<char>(u & 0xFF));
    utf16.push_back(static_cast<char>(u >> 8));
  };
  for (std::size_t i = 0; i < utf8.size();) {
    unsigned char lead = static_cast<unsigned char>(utf8[i]);
    std::size_t extra = lead < 0x80    ? 0
                        : lead >= 0xF0 ? 3
                        : lead >= 0xE0 ? 2
                        : lead >= 0xC0 ? 1
                                       : 9;
    char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    bool sound = extra < 4 && i + extra < utf8.size();
    for (std::size_t k = 1; sound && k <= extra; k++) {
      unsigned char next = static_cast<unsigned char>(utf8[i + k]);
      sound = (next & 0xC0) == 0x80;
      c = c << 6 | (next & 0x3F);
    }
    if (!sound || c > 0x10FFFF) {
      unit(DEFAULT_CHAR);
      i++;
      continue;
    }
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
    i += extra + 1;
  }
  return code_page_from_utf16(code_page, utf16);
}

std::string code_page_to_utf8(int code_page, const std::string& text) {
  std::string out;
  decode_text(code_page, text, false, [&out](char32_t c) { append_utf8(c, &out); });
  return out;
}

std::string code_page_to_utf16(int code_page, const std::string& text) {
  std::string out;
  auto unit = [&out](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8 & 0xFF));
  };
  decode_text(code_page, text, true, [&unit](char32_t c) {
    if (c < 0x10000) return unit(c);
    unit(0xD800 + ((c - 0x10000) >> 10));
    unit(0xDC00 + ((c - 0x10000) & 0x3FF));
  });
  return out;
}

void code_page_upper(int code_page, std::string* text) {
  CodePageLock hold;
  tables(code_page).map(text, true);
}

void code_page_lower(int code_page, std::string* text) {
  CodePageLock hold;
  tables(code_page).map(text, false);
}
