// code_page.cpp: Windows ANSI code pages from the platform's tables.
//
// Each code page is opened once and its single-byte and case tables built on
// first use. Characters are converted one at a time, so that one that the
// code page lacks costs that character only, as on Windows.

#include "host/sim/code_page.h"

#include <cstdint>
#include <map>
#include <tuple>

#include "host/sim/code_page_convert.h"

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

// CharNextA's step: 2 for a lead byte followed by a byte other than NUL.
std::size_t char_length(const CodePageInfo& info, const std::string& text, std::size_t at) {
  return in_lead_ranges(info, static_cast<unsigned char>(text[at])) && at + 1 < text.size() &&
                 text[at + 1] != '\0'
             ? 2
             : 1;
}

class Tables {
 public:
  explicit Tables(const CodePageInfo& info) : info_(info), convert_(info.number, info.iconv_name) {
    for (int b = 0; b < 256; b++) {
      std::string byte(1, static_cast<char>(b));
      single_[b] = in_lead_ranges(info, static_cast<unsigned char>(b)) ? NO_CHAR : decode(byte);
      upper_[b] = lower_[b] = byte;
      if (single_[b] != NO_CHAR) {
        map_case(single_[b], byte, &upper_[b], &lower_[b]);
      }
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

  void map(const std::string& in, std::string* out, bool upper) {
    out->clear();
    out->reserve(in.size());
    const std::string* singles = upper ? upper_ : lower_;
    for (std::size_t i = 0; i < in.size();) {
      std::size_t length = char_length(info_, in, i);
      if (length == 1) {
        // The common case, byte by byte, without a string per character:
        // the simulated registry folds every name it looks up.
        out->push_back(singles[static_cast<unsigned char>(in[i])][0]);
      } else {
        std::string ch = in.substr(i, length);
        const auto& table = upper ? double_upper_ : double_lower_;
        auto it = table.find(ch);
        *out += it == table.end() ? ch : it->second;
      }
      i += length;
    }
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
  std::string upper_[256], lower_[256];
  std::map<std::string, std::string> double_upper_, double_lower_;
};

// The tables of a code page, built once; callers hold a CodePageLock.
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

void append_utf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | c >> 6));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | c >> 12));
    out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | c >> 18));
    out->push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

bool code_page_known(int code_page) { return find_code_page(code_page) != nullptr; }

bool code_page_lead_byte(int code_page, unsigned char byte) {
  return in_lead_ranges(code_page_info(code_page), byte);
}

std::size_t code_page_char_length(int code_page, const std::string& text, std::size_t at) {
  return char_length(code_page_info(code_page), text, at);
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
    out += unit >= 0xD800 && unit <= 0xDFFF ? std::string(1, DEFAULT_CHAR) : t.encode(unit);
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
  CodePageLock hold;
  Tables& t = tables(code_page);
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = code_page_char_length(code_page, text, i);
    char32_t c = t.decode(text.substr(i, length));
    append_utf8(c == NO_CHAR ? DEFAULT_CHAR : c, &out);
    i += length;
  }
  return out;
}

void code_page_upper(int code_page, std::string* text) {
  CodePageLock hold;
  std::string out;
  tables(code_page).map(*text, &out, true);
  *text = out;
}

void code_page_lower(int code_page, std::string* text) {
  CodePageLock hold;
  std::string out;
  tables(code_page).map(*text, &out, false);
  *text = out;
}
