// reg_file.cpp: the regedit export formats, line by line.

#include "host/sim/reg_file.h"

#include <cstdint>
#include <vector>

#include "host/sim/code_page.h"
#include "host/sim/hex_digits.h"

namespace {

const char HEADER_4[] = "REGEDIT4";
const char HEADER_5[] = "Windows Registry Editor Version 5.00";
const char LOCAL_MACHINE[] = "HKEY_LOCAL_MACHINE";
const char DOS_END_OF_FILE = '\x1A';
// An error message quotes no more of its line than this many characters.
const std::size_t QUOTED_LINE_CHARS = 80;

// Root keys whose entries an export may carry and that Dorvik never reads.
const char* const OTHER_ROOTS[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_USERS",
                                   "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

struct Line {
  std::string text;  // without its line end
  std::string end;   // "\r\n", "\n", "\r", or "" at the end of the file
  int number;
};

// One line of a value that continues over several: where it starts in the
// joined value, and the line as the file has it.
struct Segment {
  std::size_t start;
  const Line* line;
};

struct Parser {
  std::string source;
  SimMachine* machine;
  std::string* error;
  // A Unicode file is read as UTF-8, whose bytes of other characters never
  // look like ASCII; any other file is in the machine's code page, whose
  // double-byte characters are stepped over whole.
  bool utf8 = false;
  int line = 0;
  std::vector<Segment> segments;  // the value being read, or the current line
  // The key that values go to: applied, skipped (another root, or the root
  // itself: only the file's structure counts there), or none yet / deleted.
  enum { KEY_NONE, KEY_APPLIED, KEY_SKIPPED, KEY_DELETED } key_state = KEY_NONE;
  std::string key_path;

  // The index after the character at text[at].
  std::size_t next(const std::string& text, std::size_t at) const {
    return utf8 ? at + 1 : at + code_page_char_length(machine->code_page, text, at);
  }
  // The first character `c`, or npos.
  std::size_t find(const std::string& text, char c) const {
    for (std::size_t i = 0; i < text.size(); i = next(text, i))
      if (text[i] == c) return i;
    return std::string::npos;
  }
  bool ends_with(const std::string& text, char c) const {
    return utf8 ? !text.empty() && text.back() == c
                : code_page_ends_with(machine->code_page, text, c);
  }
  // A text of the file as the machine's code page holds it.
  std::string machine_text(const std::string& text) const {
    return utf8 ? code_page_from_utf8(machine->code_page, text) : text;
  }

  // The first characters of a line, readable in a message.
  std::string quoted_line(const std::string& text) const {
    std::size_t end = 0, count = 0;
    while (end < text.size() && count < QUOTED_LINE_CHARS) {
      end = utf8 ? end + 1 : next(text, end);
      while (utf8 && end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        end++;
      count++;
    }
    std::string shown = text.substr(0, end);
    if (!utf8) shown = code_page_to_utf8(machine->code_page, shown);
    return shown + (end < text.size() ? "..." : "");
  }
  bool fail(const std::string& what) {
    *error = source + ":" + std::to_string(line) + ": " + what;
    return false;
  }
  // A fault at `offset` of the value being read: its line, quoted.
  bool fail_at(std::size_t offset, const std::string& what, const std::string& expected) {
    const Segment* at = &segments.front();
    for (const Segment& s : segments)
      if (s.start <= offset) at = &s;
    line = at->line->number;
    return fail(what + ", expected " + expected + ": " + quoted_line(at->line->text));
  }
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string trim_right(const std::string& text) {
  std::string::size_type end = text.find_last_not_of(" \t");
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::string trim_left(const std::string& text) {
  std::string::size_type start = text.find_first_not_of(" \t");
  return start == std::string::npos ? std::string() : text.substr(start);
}

std::size_t skip_blanks(const std::string& text, std::size_t at) {
  while (at < text.size() && is_blank(text[at])) at++;
  return at;
}

// UTF-16LE bytes from `start` on as UTF-8; a lone surrogate becomes U+FFFD.
std::string utf16_to_utf8(const std::string& bytes, std::size_t start) {
  std::string out;
  auto unit_at = [&bytes](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[i]) |
                                      static_cast<std::uint8_t>(bytes[i + 1]) << 8);
  };
  for (std::size_t i = start; i + 1 < bytes.size(); i += 2) {
    std::uint32_t c = unit_at(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit_at(i + 2) >= 0xDC00 &&
        unit_at(i + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit_at(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
              static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
              static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
    }
  }
  return out;
}

// True when the value text so far ends inside a quoted text: its line end
// is then part of the text, as regedit writes a text that holds line breaks.
bool inside_quotes(const Parser& p, const std::string& text) {
  bool inside = false;
  for (std::size_t i = 0; i < text.size(); i = p.next(text, i)) {
    if (text[i] == '"') inside = !inside;
    if (inside && text[i] == '\\' && i + 1 < text.size()) i = p.next(text, i);
  }
  return inside;
}

// A quoted text with regedit's escapes, starting at text[*pos] == '"'.
// Leaves *pos after the closing quote.
bool read_quoted(Parser& p, const std::string& text, std::size_t* pos, std::string* out) {
  out->clear();
  std::size_t i = *pos + 1;
  while (i < text.size()) {
    char c = text[i];
    if (c == '"') {
      *pos = i + 1;
      return true;
    }
    std::size_t after = p.next(text, i);
    if (c == '\\') {
      if (after >= text.size()) break;
      char next = text[after];
      if (next != '\\' && next != '"')
        return p.fail_at(i, std::string("unknown escape \"\\") + next + "\" in a quoted text",
                         "\\\\ or \\\"");
      out->push_back(next);
      i = after + 1;
      continue;
    }
    out->append(text, i, after - i);
    i = after;
  }
  return p.fail_at(*pos, "quoted text without its closing quote", "\"text\"");
}

// "xx,xx,..." from text[at] into bytes; an empty list is no bytes.
bool read_hex_list(Parser& p, const std::string& text, std::size_t at,
                   std::vector<std::uint8_t>* out) {
  const char* expected = "two hex digits each, separated by commas";
  out->clear();
  std::size_t i = skip_blanks(text, at);
  if (i == text.size()) return true;
  while (true) {
    if (i + 1 >= text.size() || !is_hex_digit(text[i]) || !is_hex_digit(text[i + 1]))
      return p.fail_at(i, "bad hex byte", expected);
    out->push_back(static_cast<std::uint8_t>(hex_value(text[i]) << 4 | hex_value(text[i + 1])));
    i = skip_blanks(text, i + 2);
    if (i == text.size()) return true;
    if (text[i] != ',') return p.fail_at(i, "bad hex byte", expected);
    // regedit ends a continued line with a comma; after joining, a comma
    // may also close the list.
    i = skip_blanks(text, i + 1);
    if (i == text.size()) return true;
  }
}

bool key_line(Parser& p, const std::string& text) {
  const char* expected = "[HKEY_LOCAL_MACHINE\\key] or [-HKEY_LOCAL_MACHINE\\key]";
  if (text.size() < 2 || !p.ends_with(text, ']'))
    return p.fail_at(0, "key line without its closing \"]\"", expected);
  std::string name = text.substr(1, text.size() - 2);
  bool deletion = !name.empty() && name[0] == '-';
  if (deletion) name.erase(0, 1);
  std::size_t slash = p.find(name, '\\');
  std::string root = name.substr(0, slash);
  std::string path = slash == std::string::npos ? std::string() : name.substr(slash + 1);

  bool local_machine = sim_fold(root) == sim_fold(LOCAL_MACHINE);
  bool other = false;
  for (const char* known : OTHER_ROOTS) other = other || sim_fold(root) == sim_fold(known);
  if (!local_machine && !other) return p.fail_at(0, "unknown root key", expected);

  if (!local_machine || path.empty()) {
    p.key_state = Parser::KEY_SKIPPED;
    return true;
  }
  if (p.ends_with(path, '\\')) path.pop_back();
  bool empty_part = path.empty() || path[0] == '\\';
  for (std::size_t i = 0; i < path.size() && !empty_part; i = p.next(path, i))
    empty_part = path[i] == '\\' && i + 1 < path.size() && path[i + 1] == '\\';
  if (empty_part)
    return p.fail_at(0, "key with an empty part", "key names between single backslashes");
  p.key_path = p.machine_text(path);
  if (deletion) {
    // The key and every key below it.
    std::string folded = sim_fold(p.key_path, p.machine->code_page);
    auto& registry = p.machine->registry;
    for (auto it = registry.begin(); it != registry.end();) {
      bool below =
          it->first == folded || it->first.compare(0, folded.size() + 1, folded + "\\") == 0;
      it = below ? registry.erase(it) : std::next(it);
    }
    p.key_state = Parser::KEY_DELETED;
    return true;
  }
  sim_add_key(*p.machine, p.key_path);
  p.key_state = Parser::KEY_APPLIED;
  return true;
}

// The value's type and data from text[at] on.
bool value_data(Parser& p, const std::string& text, std::size_t at, std::uint32_t* type,
                std::vector<std::uint8_t>* data) {
  std::string rest = text.substr(at);
  *type = SIM_REG_SZ;
  if (rest[0] == '"') {
    std::string value;
    std::size_t end = at;
    if (!read_quoted(p, text, &end, &value)) return false;
    if (skip_blanks(text, end) != text.size())
      return p.fail_at(end, "text after the closing quote of a value", "the end of the line");
    value = p.machine_text(value);
    data->assign(value.begin(), value.end());
    data->push_back(0);
    return true;
  }
  if (sim_fold(rest.substr(0, 6)) == "dword:") {
    std::string digits = trim_right(rest.substr(6));
    std::uint32_t number = 0;
    if (!hex_number(digits, &number))
      return p.fail_at(at, "bad dword value", "dword: and 1 to 8 hex digits");
    *type = SIM_REG_DWORD;
    for (int i = 0; i < 4; i++) data->push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    return true;
  }
  std::size_t colon = rest.find(':');
  if (sim_fold(rest.substr(0, 3)) != "hex" || colon == std::string::npos)
    return p.fail_at(at, "unknown value data", "\"text\", dword:, hex:, hex(N): or -");
  std::string kind = rest.substr(3, colon - 3);
  *type = SIM_REG_BINARY;
  if (!kind.empty()) {
    bool sound = kind.size() >= 3 && kind.front() == '(' && kind.back() == ')' &&
                 hex_number(kind.substr(1, kind.size() - 2), type);
    if (!sound) return p.fail_at(at, "bad value type", "hex: or hex(N): with N in hex digits");
  }
  if (!read_hex_list(p, text, at + colon + 1, data)) return false;
  bool text_type = *type == SIM_REG_SZ || *type == SIM_REG_EXPAND_SZ || *type == SIM_REG_MULTI_SZ;
  if (p.utf8 && text_type) {
    // UTF-16 data, handed out in the code page as RegQueryValueExA does; an
    // odd last byte is no whole character and is dropped.
    std::string ansi =
        code_page_from_utf16(p.machine->code_page, std::string(data->begin(), data->end()));
    data->assign(ansi.begin(), ansi.end());
  }
  return true;
}

bool value_line(Parser& p, const std::string& text) {
  std::string name;
  std::size_t pos = 0;
  if (text[0] == '@') {
    pos = 1;
  } else if (!read_quoted(p, text, &pos, &name)) {
    return false;
  }
  pos = skip_blanks(text, pos);
  if (pos >= text.size() || text[pos] != '=')
    return p.fail_at(pos, "value without \"=\" after its name", "\"name\"=data or @=data");
  std::size_t data_at = skip_blanks(text, pos + 1);

  if (p.key_state == Parser::KEY_NONE)
    return p.fail_at(0, "value before the first key line", "a [key] line above it");
  if (p.key_state == Parser::KEY_DELETED)
    return p.fail_at(0, "value under a deleted key", "values under a key that is not deleted");
  if (p.key_state == Parser::KEY_SKIPPED) return true;
  if (data_at == text.size())
    return p.fail_at(data_at, "value without data", "\"text\", dword:, hex:, hex(N): or -");

  name = p.machine_text(name);
  if (trim_right(text.substr(data_at)) == "-") {
    auto key = p.machine->registry.find(sim_fold(p.key_path, p.machine->code_page));
    if (key != p.machine->registry.end())
      key->second.values.erase(sim_fold(name, p.machine->code_page));
    return true;
  }
  std::uint32_t type = SIM_REG_SZ;
  std::vector<std::uint8_t> data;
  if (!value_data(p, text, data_at, &type, &data)) return false;
  sim_set_value(*p.machine, p.key_path, name, type, data);
  return true;
}

// The file's text and how it is read: a Unicode file as UTF-8, any other
// as bytes of the machine's code page, up to a DOS end-of-file byte.
bool decode(Parser& p, const std::string& bytes, std::string* text) {
  p.line = 1;
  if (bytes.size() >= 2 && static_cast<std::uint8_t>(bytes[0]) == 0xFF &&
      static_cast<std::uint8_t>(bytes[1]) == 0xFE) {
    if (bytes.size() % 2 != 0)
      return p.fail("UTF-16 file with an odd number of bytes, expected two for each character");
    p.utf8 = true;
    *text = utf16_to_utf8(bytes, 2);
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    return p.fail("UTF-8 text: save the file as ANSI (REGEDIT4) or Unicode, as regedit does");
  } else {
    *text = bytes;
  }
  std::size_t end = text->find(DOS_END_OF_FILE);
  if (end != std::string::npos) text->resize(end);
  return true;
}

// Lines with their numbers and line ends; CR LF, LF and CR all end a line.
std::vector<Line> split_lines(const std::string& text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); i++) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    std::size_t end_size = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    lines.push_back({text.substr(start, i - start), text.substr(i, end_size),
                     static_cast<int>(lines.size()) + 1});
    i += end_size - 1;
    start = i + 1;
  }
  if (start < text.size())
    lines.push_back({text.substr(start), "", static_cast<int>(lines.size()) + 1});
  return lines;
}

}  // namespace

bool apply_reg_file(const std::string& source, const std::string& bytes, SimMachine* machine,
                    std::string* error) {
  Parser p;
  p.source = source;
  p.machine = machine;
  p.error = error;

  std::string text;
  if (!decode(p, bytes, &text)) return false;
  const std::vector<Line> lines = split_lines(text);

  bool header_seen = false;
  for (std::size_t i = 0; i < lines.size(); i++) {
    p.line = lines[i].number;
    p.segments = {{0, &lines[i]}};
    std::string body = trim_left(lines[i].text);
    if (!header_seen) {
      if (body.empty()) continue;
      if (trim_right(lines[i].text) != HEADER_4 && trim_right(lines[i].text) != HEADER_5)
        return p.fail_at(0, "not a registry file",
                         "\"REGEDIT4\" or \"Windows Registry Editor Version 5.00\" first");
      header_seen = true;
      continue;
    }
    if (body.empty() || body[0] == ';') continue;
    if (body[0] == '[') {
      if (!key_line(p, trim_right(body))) return false;
      continue;
    }
    if (body[0] != '"' && body[0] != '@')
      return p.fail_at(0, "not a line of a registry file",
                       "a [key] line, a \"value\"= line or a ; comment");
    // A value goes on over the next lines while it is inside a quoted text
    // (the line end is part of the text) or its line ends in a backslash.
    while (i + 1 < lines.size()) {
      if (inside_quotes(p, body)) {
        body += lines[i].end;
      } else {
        body = trim_right(body);
        if (!p.ends_with(body, '\\')) break;
        body.pop_back();
      }
      const Line& next = lines[++i];
      p.segments.push_back({body.size(), &next});
      body += inside_quotes(p, body) ? next.text : trim_left(next.text);
    }
    if (inside_quotes(p, body))
      return p.fail_at(0, "quoted text without its closing quote", "\"text\"");
    if (!value_line(p, trim_right(body))) return false;
  }
  if (!header_seen) {
    p.line = 1;
    return p.fail("empty file, expected \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\"");
  }
  return true;
}
