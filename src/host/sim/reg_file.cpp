// reg_file.cpp: the regedit export formats, line by line.

#include "host/sim/reg_file.h"

#include <cstdint>
#include <vector>

#include "host/sim/code_page.h"
#include "host/sim/hex_digits.h"
#include "host/sim/reg_lines.h"

namespace {

const char HEADER_4[] = "REGEDIT4";
const char HEADER_5[] = "Windows Registry Editor Version 5.00";
const char LOCAL_MACHINE[] = "HKEY_LOCAL_MACHINE";
// An error message quotes no more of its line than this many characters.
const std::size_t QUOTED_LINE_CHARS = 80;

// Root keys whose entries an export may carry and that Dorvik never reads.
const char* const OTHER_ROOTS[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_USERS",
                                   "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

// One line of a value that continues over several: where it starts in the
// joined value, and the line as the file has it (an index into the lines
// of the value being read).
struct Segment {
  std::size_t start;
  std::size_t line;
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
  std::vector<RegLine> lines;     // the lines of the value being read
  std::vector<Segment> segments;  // the value being read, or the current line
  // The key that values go to: applied, skipped (another root, or the root
  // itself: only the file's structure counts there), or none yet / deleted.
  enum { KEY_NONE, KEY_APPLIED, KEY_SKIPPED, KEY_DELETED } key_state = KEY_NONE;
  std::string key_path;
  SimRegistryKey* key = nullptr;  // the applied key: the map keeps it in place
  // Folded, the keys that go into the machine; all of them when empty.
  std::vector<std::string> kept;

  // Characters of two bytes: a file in a code page that has them.
  bool double_byte = false;
  // The index after the character at text[at].
  std::size_t next(const std::string& text, std::size_t at) const {
    return !double_byte ? at + 1 : at + code_page_char_length(machine->code_page, text, at);
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
    line = lines[at->line].number;
    return fail(what + ", expected " + expected + ": " + quoted_line(lines[at->line].text));
  }
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string trim_right(const std::string& text) {
  std::string::size_type end = text.find_last_not_of(" \t");
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

std::size_t skip_blanks(const std::string& text, std::size_t at) {
  while (at < text.size() && is_blank(text[at])) at++;
  return at;
}

// How far inside_quotes has read a value's text: a place where its reading
// is settled, and whether that place is inside a quoted text.
struct QuoteScan {
  std::size_t at = 0;
  bool inside = false;

  // After the text was cut to `size`: a place whose reading looked at the
  // bytes cut off is not settled any more.
  void cut(std::size_t size) {
    if (at + 3 > size) *this = QuoteScan();
  }
};

// True when the value text so far ends inside a quoted text: its line end
// is then part of the text, as regedit writes a text that holds line breaks.
// A value continued over many lines is read on from where the last call
// settled, not from its start again: reading a character looks at most two
// bytes beyond it, so a place three bytes before the end stays settled
// while text is added.
bool inside_quotes(const Parser& p, const std::string& text, QuoteScan* scan) {
  std::size_t i = scan->at, size = text.size();
  bool inside = scan->inside;
  if (!p.double_byte) {
    // One byte a character: only quotes and escapes count, found by search.
    // Reading a character looks one byte beyond it at most, so every place
    // reached before the end is settled.
    while (i < size) {
      *scan = {i, inside};
      std::size_t at = inside ? text.find_first_of("\"\\", i) : text.find('"', i);
      if (at == std::string::npos) {
        *scan = {size - 1 > i ? size - 1 : i, inside};
        break;
      }
      if (text[at] == '"') inside = !inside;
      i = text[at] == '\\' && at + 1 < size ? at + 2 : at + 1;
    }
    return inside;
  }
  std::size_t settled = i;
  bool settled_inside = inside;
  for (; i < size; i = p.next(text, i)) {
    if (i + 3 <= size) {
      settled = i;
      settled_inside = inside;
    }
    if (text[i] == '"') inside = !inside;
    if (inside && text[i] == '\\' && i + 1 < size) i = p.next(text, i);
  }
  *scan = {settled, settled_inside};
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
  out->reserve((text.size() - i) / 3 + 1);
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

  std::string folded_root = sim_fold(root);
  bool local_machine = folded_root == sim_fold(LOCAL_MACHINE);
  bool other = false;
  for (const char* known : OTHER_ROOTS) other = other || folded_root == sim_fold(known);
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
  bool kept = p.kept.empty();
  if (!kept) {
    std::string folded = sim_fold(p.key_path, p.machine->code_page);
    for (const std::string& k : p.kept) kept = kept || k == folded;
  }
  // A key that is not kept reads as one that is, up to its values' storage.
  p.key = kept ? &sim_add_key(*p.machine, p.key_path) : nullptr;
  p.key_state = Parser::KEY_APPLIED;
  return true;
}

// The value's type and data from text[at] on.
bool value_data(Parser& p, const std::string& text, std::size_t at, std::uint32_t* type,
                std::vector<std::uint8_t>* data) {
  // Only the data's first characters tell its kind; hex data can be long.
  std::string head = text.substr(at, 6);
  *type = SIM_REG_SZ;
  if (head[0] == '"') {
    std::string value;
    std::size_t end = at;
    if (!read_quoted(p, text, &end, &value)) return false;
    if (skip_blanks(text, end) != text.size())
      return p.fail_at(end, "text after the closing quote of a value", "the end of the line");
    if (p.key) value = p.machine_text(value);  // only stored values need the code page
    data->assign(value.begin(), value.end());
    data->push_back(0);
    return true;
  }
  if (sim_fold(head) == "dword:") {
    std::string digits = trim_right(text.substr(at + 6));
    std::uint32_t number = 0;
    if (!hex_number(digits, &number))
      return p.fail_at(at, "bad dword value", "dword: and 1 to 8 hex digits");
    *type = SIM_REG_DWORD;
    for (int i = 0; i < 4; i++) data->push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    return true;
  }
  std::size_t colon = text.find(':', at);
  if (colon != std::string::npos) colon -= at;
  if (sim_fold(head.substr(0, 3)) != "hex" || colon == std::string::npos)
    return p.fail_at(at, "unknown value data", "\"text\", dword:, hex:, hex(N): or -");
  std::string kind = text.substr(at + 3, colon - 3);
  *type = SIM_REG_BINARY;
  if (!kind.empty()) {
    bool sound = kind.size() >= 3 && kind.front() == '(' && kind.back() == ')' &&
                 hex_number(kind.substr(1, kind.size() - 2), type);
    if (!sound) return p.fail_at(at, "bad value type", "hex: or hex(N): with N in hex digits");
  }
  if (!read_hex_list(p, text, at + colon + 1, data)) return false;
  bool text_type = *type == SIM_REG_SZ || *type == SIM_REG_EXPAND_SZ || *type == SIM_REG_MULTI_SZ;
  if (p.utf8 && text_type && p.key) {
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

  if (text[data_at] == '-' && skip_blanks(text, data_at + 1) == text.size()) {
    name = p.machine_text(name);
    auto key = p.machine->registry.find(sim_fold(p.key_path, p.machine->code_page));
    if (key != p.machine->registry.end())
      key->second.values.erase(sim_fold(name, p.machine->code_page));
    return true;
  }
  std::uint32_t type = SIM_REG_SZ;
  std::vector<std::uint8_t> data;
  if (!value_data(p, text, data_at, &type, &data)) return false;
  if (!p.key) return true;
  name = p.machine_text(name);
  // As sim_set_value does, into the key that its line added.
  p.key->values[sim_fold(name, p.machine->code_page)] =
      SimRegistryValue{.name = name, .type = type, .data = std::move(data)};
  return true;
}

// How the file is read: a Unicode file as UTF-8 (from `*start` on, after
// its byte-order mark), any other as bytes of the machine's code page.
bool file_encoding(Parser& p, const std::string& bytes, std::size_t* start) {
  p.line = 1;
  *start = 0;
  if (bytes.size() >= 2 && static_cast<std::uint8_t>(bytes[0]) == 0xFF &&
      static_cast<std::uint8_t>(bytes[1]) == 0xFE) {
    if (bytes.size() % 2 != 0)
      return p.fail("UTF-16 file with an odd number of bytes, expected two for each character");
    p.utf8 = true;
    *start = 2;
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    return p.fail("UTF-8 text: save the file as ANSI (REGEDIT4) or Unicode, as regedit does");
  }
  return true;
}

void trim_right_in_place(std::string* text) {
  std::size_t end = text->find_last_not_of(" \t");
  text->resize(end == std::string::npos ? 0 : end + 1);
}

}  // namespace

bool apply_reg_file(const std::string& source, const std::string& bytes, SimMachine* machine,
                    std::string* error, const std::vector<std::string>* keys_kept) {
  Parser p;
  p.source = source;
  p.machine = machine;
  p.error = error;
  if (keys_kept)
    for (const std::string& key : *keys_kept) p.kept.push_back(sim_fold(key, machine->code_page));

  std::size_t start = 0;
  if (!file_encoding(p, bytes, &start)) return false;
  for (int byte = 0x80; byte < 0x100 && !p.utf8; byte++)
    p.double_byte = p.double_byte || code_page_lead_byte(machine->code_page, byte);
  // Lines are read one at a time; those of the value being read are kept
  // until it is applied, in buffers used again for the next.
  RegLineReader reader(bytes, start, p.utf8);
  p.lines.resize(1);
  std::string body;

  bool header_seen = false;
  while (reader.next(&p.lines[0])) {
    const RegLine& line = p.lines[0];
    p.line = line.number;
    p.segments.assign(1, Segment{0, 0});
    body.assign(line.text, skip_blanks(line.text, 0));
    if (!header_seen) {
      if (body.empty()) continue;
      if (trim_right(line.text) != HEADER_4 && trim_right(line.text) != HEADER_5)
        return p.fail_at(0, "not a registry file",
                         "\"REGEDIT4\" or \"Windows Registry Editor Version 5.00\" first");
      header_seen = true;
      continue;
    }
    if (body.empty() || body[0] == ';') continue;
    if (body[0] == '[') {
      trim_right_in_place(&body);
      if (!key_line(p, body)) return false;
      continue;
    }
    if (body[0] != '"' && body[0] != '@')
      return p.fail_at(0, "not a line of a registry file",
                       "a [key] line, a \"value\"= line or a ; comment");
    // A value goes on over the next lines while it is inside a quoted text
    // (the line end is part of the text) or its line ends in a backslash.
    QuoteScan scan;
    std::size_t used = 1;
    while (!reader.at_end()) {
      if (inside_quotes(p, body, &scan)) {
        body += p.lines[used - 1].end;
      } else {
        trim_right_in_place(&body);
        if (!p.ends_with(body, '\\')) break;
        body.pop_back();
        scan.cut(body.size());
      }
      if (used == p.lines.size()) p.lines.emplace_back();
      reader.next(&p.lines[used]);
      const RegLine& next = p.lines[used++];
      p.segments.push_back({body.size(), used - 1});
      if (inside_quotes(p, body, &scan)) {
        body += next.text;
      } else {
        body.append(next.text, skip_blanks(next.text, 0));
      }
    }
    if (inside_quotes(p, body, &scan))
      return p.fail_at(0, "quoted text without its closing quote", "\"text\"");
    trim_right_in_place(&body);
    if (!value_line(p, body)) return false;
  }
  if (!header_seen) {
    p.line = 1;
    return p.fail("empty file, expected \"REGEDIT4\" or \"Windows Registry Editor Version 5.00\"");
  }
  return true;
}
