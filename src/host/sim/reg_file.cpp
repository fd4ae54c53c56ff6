// reg_file.cpp: the regedit export formats, line by line.

#include "host/sim/reg_file.h"

#include <cstdint>
#include <vector>

#include "host/sim/hex_digits.h"

namespace {

const char HEADER_4[] = "REGEDIT4";
const char HEADER_5[] = "Windows Registry Editor Version 5.00";
const char LOCAL_MACHINE[] = "HKEY_LOCAL_MACHINE";

// Root keys whose entries an export may carry and that Dorvik never reads.
const char* const OTHER_ROOTS[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_USERS",
                                   "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

// Unicode code points of the Windows-1252 bytes 0x80 to 0x9F; 0 where the
// code page has no character and the byte maps to the same control point.
const std::uint16_t CP1252_HIGH[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Windows-1252 byte of a UTF-16 code unit, or false.
bool to_cp1252(std::uint16_t unit, char* out) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
    *out = static_cast<char>(unit);
    return true;
  }
  for (int i = 0; i < 32; i++) {
    if (CP1252_HIGH[i] == unit || (CP1252_HIGH[i] == 0 && unit == 0x80 + i)) {
      *out = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

struct Parser {
  std::string source;
  SimMachine* machine;
  std::string* error;
  bool unicode = false;  // a version 5 file in UTF-16LE
  int line = 0;
  // The key that values go to: applied, skipped (another root, or the root
  // itself), or none yet / deleted.
  enum { KEY_NONE, KEY_APPLIED, KEY_SKIPPED, KEY_DELETED } key_state = KEY_NONE;
  std::string key_path;

  bool fail(const std::string& what) {
    *error = source + ":" + std::to_string(line) + ": " + what;
    return false;
  }
};

std::string trim_right(const std::string& text) {
  std::string::size_type end = text.find_last_not_of(" \t");
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string trim_left(const std::string& text) {
  std::string::size_type start = text.find_first_not_of(" \t");
  return start == std::string::npos ? std::string() : text.substr(start);
}

// UTF-16LE bytes from `start` on to Windows-1252 text. On a character that
// the code page lacks, returns false with the code unit and the number of
// line ends before it.
bool utf16_to_cp1252(const std::string& bytes, std::string::size_type start, std::string* out,
                     std::uint16_t* bad_unit, int* bad_line_ends) {
  out->clear();
  int line_ends = 0;
  for (std::string::size_type i = start; i + 1 < bytes.size(); i += 2) {
    std::uint16_t unit = static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                                    static_cast<std::uint8_t>(bytes[i + 1]) << 8);
    char c = 0;
    if (!to_cp1252(unit, &c)) {
      *bad_unit = unit;
      *bad_line_ends = line_ends;
      return false;
    }
    if (c == '\n') line_ends++;
    out->push_back(c);
  }
  return true;
}

std::string code_point_text(std::uint16_t unit) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "U+";
  for (int shift = 12; shift >= 0; shift -= 4) text.push_back(digits[(unit >> shift) & 15]);
  return text;
}

// A quoted text with regedit's escapes, starting at text[*pos] == '"'.
// Leaves *pos after the closing quote.
bool read_quoted(Parser& p, const std::string& text, std::string::size_type* pos,
                 std::string* out) {
  out->clear();
  std::string::size_type i = *pos + 1;
  while (i < text.size()) {
    char c = text[i];
    if (c == '"') {
      *pos = i + 1;
      return true;
    }
    if (c == '\\') {
      if (i + 1 >= text.size()) break;
      char next = text[i + 1];
      if (next != '\\' && next != '"')
        return p.fail(std::string("unknown escape \"\\") + next + "\" in a quoted text");
      out->push_back(next);
      i += 2;
      continue;
    }
    out->push_back(c);
    i++;
  }
  return p.fail("quoted text without its closing quote");
}

// "xx,xx,..." into bytes; an empty list is no bytes.
bool read_hex_list(Parser& p, const std::string& text, std::vector<std::uint8_t>* out) {
  out->clear();
  std::string list = trim_right(trim_left(text));
  if (list.empty()) return true;
  std::string::size_type i = 0;
  while (true) {
    if (i + 1 >= list.size() || !is_hex_digit(list[i]) || !is_hex_digit(list[i + 1]))
      return p.fail("bad hex byte in \"" + list + "\": two hex digits each, separated by commas");
    out->push_back(static_cast<std::uint8_t>(hex_value(list[i]) << 4 | hex_value(list[i + 1])));
    i += 2;
    while (i < list.size() && (list[i] == ' ' || list[i] == '\t')) i++;
    if (i == list.size()) return true;
    if (list[i] != ',')
      return p.fail("bad hex byte in \"" + list + "\": two hex digits each, separated by commas");
    i++;
    // regedit ends a continued line with a comma; after joining, a comma
    // may also close the list.
    while (i < list.size() && (list[i] == ' ' || list[i] == '\t')) i++;
    if (i == list.size()) return true;
  }
}

bool key_line(Parser& p, const std::string& text) {
  if (text.size() < 2 || text.back() != ']') return p.fail("key line without its closing \"]\"");
  std::string name = text.substr(1, text.size() - 2);
  bool deletion = !name.empty() && name[0] == '-';
  if (deletion) name.erase(0, 1);
  std::string::size_type slash = name.find('\\');
  std::string root = name.substr(0, slash);
  std::string path = slash == std::string::npos ? std::string() : name.substr(slash + 1);
  if (!path.empty() && path.back() == '\\') path.pop_back();
  if (path.find("\\\\") != std::string::npos || (slash != std::string::npos && path.empty()))
    return p.fail("key \"" + name + "\" has an empty part");

  bool local_machine = sim_fold(root) == sim_fold(LOCAL_MACHINE);
  bool other = false;
  for (const char* known : OTHER_ROOTS) other = other || sim_fold(root) == sim_fold(known);
  if (!local_machine && !other)
    return p.fail("unknown root key \"" + root +
                  "\" (expected HKEY_LOCAL_MACHINE or another "
                  "HKEY_ root)");

  p.key_path = path;
  if (!local_machine || path.empty()) {
    p.key_state = Parser::KEY_SKIPPED;
    return true;
  }
  if (deletion) {
    // The key and every key below it.
    std::string folded = sim_fold(path);
    auto& registry = p.machine->registry;
    for (auto it = registry.begin(); it != registry.end();) {
      bool below =
          it->first == folded || it->first.compare(0, folded.size() + 1, folded + "\\") == 0;
      it = below ? registry.erase(it) : std::next(it);
    }
    p.key_state = Parser::KEY_DELETED;
    return true;
  }
  sim_add_key(*p.machine, path);
  p.key_state = Parser::KEY_APPLIED;
  return true;
}

bool value_line(Parser& p, const std::string& text) {
  std::string name;
  std::string::size_type pos = 0;
  if (text[0] == '@') {
    pos = 1;
  } else if (!read_quoted(p, text, &pos, &name)) {
    return false;
  }
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) pos++;
  if (pos >= text.size() || text[pos] != '=') return p.fail("value without \"=\" after its name");
  std::string data_text = trim_left(text.substr(pos + 1));

  if (p.key_state == Parser::KEY_NONE) return p.fail("value before the first key line");
  if (p.key_state == Parser::KEY_DELETED) return p.fail("value under a deleted key");

  std::uint32_t type = SIM_REG_SZ;
  std::vector<std::uint8_t> data;
  bool deletion = false;
  if (data_text == "-") {
    deletion = true;
  } else if (!data_text.empty() && data_text[0] == '"') {
    std::string value;
    std::string::size_type at = 0;
    if (!read_quoted(p, data_text, &at, &value)) return false;
    if (!trim_left(data_text.substr(at)).empty())
      return p.fail("text after the closing quote of a value");
    data.assign(value.begin(), value.end());
    data.push_back(0);
  } else if (sim_fold(data_text.substr(0, 6)) == "dword:") {
    std::string digits = trim_right(data_text.substr(6));
    std::uint32_t number = 0;
    if (!hex_number(digits, &number))
      return p.fail("dword value \"" + digits + "\" must have 1 to 8 hex digits");
    type = SIM_REG_DWORD;
    for (int i = 0; i < 4; i++) data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
  } else if (sim_fold(data_text.substr(0, 3)) == "hex") {
    std::string::size_type colon = data_text.find(':');
    if (colon == std::string::npos) return p.fail("hex value without \":\"");
    std::string kind = data_text.substr(3, colon - 3);
    type = SIM_REG_BINARY;
    if (!kind.empty()) {
      if (kind.size() < 3 || kind.front() != '(' || kind.back() != ')' || kind.size() > 10)
        return p.fail("bad value type \"hex" + kind + "\": expected hex: or hex(N):");
      if (!hex_number(kind.substr(1, kind.size() - 2), &type))
        return p.fail("bad value type \"hex" + kind + "\": N is a hex number");
    }
    if (!read_hex_list(p, data_text.substr(colon + 1), &data)) return false;
    bool text_type = type == SIM_REG_SZ || type == SIM_REG_EXPAND_SZ || type == SIM_REG_MULTI_SZ;
    if (p.unicode && text_type) {
      std::string bytes(data.begin(), data.end()), ansi;
      std::uint16_t bad = 0;
      int line_ends = 0;
      if (bytes.size() % 2 != 0) return p.fail("UTF-16 text data with an odd number of bytes");
      if (!utf16_to_cp1252(bytes, 0, &ansi, &bad, &line_ends))
        return p.fail("character " + code_point_text(bad) + " has no Windows-1252 form");
      data.assign(ansi.begin(), ansi.end());
    }
  } else {
    return p.fail("unknown value data \"" + data_text +
                  "\" (expected \"text\", dword:, hex:, hex(N): or -)");
  }

  if (p.key_state != Parser::KEY_APPLIED) return true;
  if (deletion) {
    auto key = p.machine->registry.find(sim_fold(p.key_path));
    if (key != p.machine->registry.end()) key->second.values.erase(sim_fold(name));
    return true;
  }
  sim_set_value(*p.machine, p.key_path, name, type, data);
  return true;
}

}  // namespace

bool apply_reg_file(const std::string& source, const std::string& bytes, SimMachine* machine,
                    std::string* error) {
  Parser p;
  p.source = source;
  p.machine = machine;
  p.error = error;

  std::string text;
  if (bytes.size() >= 2 && static_cast<std::uint8_t>(bytes[0]) == 0xFF &&
      static_cast<std::uint8_t>(bytes[1]) == 0xFE) {
    p.unicode = true;
    std::uint16_t bad = 0;
    int line_ends = 0;
    p.line = 1;
    if (bytes.size() % 2 != 0) return p.fail("UTF-16 file with an odd number of bytes");
    if (!utf16_to_cp1252(bytes, 2, &text, &bad, &line_ends)) {
      p.line = line_ends + 1;
      return p.fail("character " + code_point_text(bad) + " has no Windows-1252 form");
    }
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    p.line = 1;
    return p.fail("UTF-8 text: save the file as ANSI (REGEDIT4) or Unicode, as regedit does");
  } else {
    text = bytes;
  }

  // Lines, with their numbers; CR LF, LF and CR all end a line.
  std::vector<std::string> lines;
  std::string current;
  for (std::string::size_type i = 0; i < text.size(); i++) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') i++;
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) lines.push_back(current);

  bool header_seen = false;
  for (std::size_t i = 0; i < lines.size(); i++) {
    p.line = static_cast<int>(i) + 1;
    std::string line = trim_right(lines[i]);
    if (!header_seen) {
      if (trim_left(line).empty()) continue;
      if (line != HEADER_4 && line != HEADER_5)
        return p.fail(
            "first line must be \"REGEDIT4\" or \"Windows Registry Editor Version "
            "5.00\"");
      header_seen = true;
      continue;
    }
    std::string body = trim_left(line);
    if (body.empty() || body[0] == ';') continue;
    if (body[0] == '[') {
      if (!key_line(p, body)) return false;
      continue;
    }
    if (body[0] == '"' || body[0] == '@') {
      // A value continues on the next lines while its line ends in a backslash.
      int first_line = p.line;
      while (!body.empty() && body.back() == '\\' && i + 1 < lines.size()) {
        body.pop_back();
        body += trim_left(trim_right(lines[++i]));
      }
      p.line = first_line;
      if (!value_line(p, body)) return false;
      continue;
    }
    return p.fail("expected a [key] line, a \"value\"= line or a ; comment");
  }
  if (!header_seen) {
    p.line = 1;
    return p.fail("empty file: the first line must be \"REGEDIT4\"");
  }
  return true;
}
