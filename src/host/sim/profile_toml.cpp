// profile_toml.cpp: typed access to machine.toml's values, with the
// loader's error texts.

#include "host/sim/profile_toml.h"

#include <climits>
#include <vector>

#include "host/sim/code_page.h"
#include "host/sim/file_time.h"

namespace {

// What toml_check_failed throws: it never leaves parse_toml.
struct TomlCheckFailed {};

// Parses `text`; false when toml++ failed one of its own checks.
bool parse_checked(const std::string& text, const std::string& source, toml::parse_result* parsed) {
  try {
    *parsed = toml::parse(text, std::string_view(source));
    return true;
  } catch (const TomlCheckFailed&) {
    return false;
  }
}

}  // namespace

void toml_check_failed() { throw TomlCheckFailed(); }

bool profile_fault(const std::string& source, std::uint32_t line, const std::string& what,
                   std::string* error) {
  *error = source + ":" + std::to_string(line) + ": " + what;
  return false;
}

bool parse_toml(const Loader& l, const std::string& text, toml::table* root) {
  toml::parse_result parsed;
  if (!parse_checked(text, l.source, &parsed)) {
    // The parser cannot say where it stopped. The text up to line `bad`
    // stops it and the text up to line `good` does not: the line where it
    // stops lies between them, and halving the gap finds it.
    std::vector<std::string::size_type> line_ends;
    for (std::string::size_type at = text.find('\n'); at != std::string::npos;
         at = text.find('\n', at + 1))
      line_ends.push_back(at + 1);
    if (line_ends.empty() || line_ends.back() < text.size()) line_ends.push_back(text.size());
    std::size_t good = 0, bad = line_ends.size();
    while (bad - good > 1) {
      std::size_t middle = good + (bad - good) / 2;
      (parse_checked(text.substr(0, line_ends[middle - 1]), l.source, &parsed) ? good : bad) =
          middle;
    }
    return l.fail_at(static_cast<std::uint32_t>(bad),
                     "the TOML reader cannot read this line: is it valid TOML?");
  }
  if (!parsed)
    return l.fail_at(parsed.error().source().begin.line, std::string(parsed.error().description()));
  *root = std::move(parsed).table();
  return true;
}

std::string quoted(const std::string& key) { return "\"" + key + "\""; }

bool known_keys(const Loader& l, const toml::table& table, const std::string& where,
                std::initializer_list<const char*> allowed) {
  for (auto&& [key, node] : table) {
    bool known = false;
    for (const char* name : allowed) known = known || key.str() == name;
    if (!known) {
      std::string names;
      for (const char* name : allowed) names += std::string(names.empty() ? "" : ", ") + name;
      return l.fail_at(key.source().begin.line ? key.source().begin.line : node.source().begin.line,
                       "unknown key " + quoted(std::string(key.str())) + " in " + where +
                           " (known: " + names + ")");
    }
  }
  return true;
}

bool require(const Loader& l, const toml::table& table, const char* key, const std::string& where) {
  if (table.get(key)) return true;
  return l.fail(table, where + " has no " + quoted(key));
}

bool get_table(const Loader& l, const toml::table& parent, const char* key,
               const toml::table** out) {
  *out = nullptr;
  const toml::node* node = parent.get(key);
  if (!node) return true;
  if (!node->is_table()) return l.fail(*node, quoted(key) + " must be a table");
  *out = node->as_table();
  return true;
}

bool get_integer(const Loader& l, const toml::table& table, const char* key, std::int64_t min,
                 std::int64_t max, std::int64_t* out) {
  const toml::node* node = table.get(key);
  if (!node) return true;
  if (!node->is_integer()) return l.fail(*node, quoted(key) + " must be an integer");
  std::int64_t value = node->as_integer()->get();
  if (value < min || value > max)
    return l.fail(*node, quoted(key) + " is " + std::to_string(value) + ", out of range (" +
                             std::to_string(min) + " to " + std::to_string(max) + ")");
  *out = value;
  return true;
}

bool get_u32(const Loader& l, const toml::table& table, const char* key, std::uint32_t* out) {
  std::int64_t value = *out;
  if (!get_integer(l, table, key, 0, UINT32_MAX, &value)) return false;
  *out = static_cast<std::uint32_t>(value);
  return true;
}

bool get_string(const Loader& l, const toml::table& table, const char* key, std::string* out,
                bool* present) {
  const toml::node* node = table.get(key);
  if (present) *present = node != nullptr;
  if (!node) return true;
  if (!node->is_string()) return l.fail(*node, quoted(key) + " must be a text in quotes");
  // Other letters come as \uXXXX escapes, and the machine has them in its code page.
  *out = code_page_from_utf8(l.machine->code_page, std::string(node->as_string()->get()));
  return true;
}

bool get_bool(const Loader& l, const toml::table& table, const char* key, bool* out) {
  const toml::node* node = table.get(key);
  if (!node) return true;
  if (!node->is_boolean()) return l.fail(*node, quoted(key) + " must be true or false");
  *out = node->as_boolean()->get();
  return true;
}

bool get_date_time(const Loader& l, const toml::table& table, const char* key, CalendarTime* local,
                   int* offset_minutes) {
  const toml::node* node = table.get(key);
  if (!node) return l.fail(table, "no " + quoted(key));
  if (!node->is_date_time())
    return l.fail(*node, quoted(key) +
                             " must be a date and time with its offset from UTC, "
                             "such as 2001-12-10T12:00:00Z");
  const toml::date_time& dt = node->as_date_time()->get();
  if (!dt.offset)
    return l.fail(*node, quoted(key) + " needs its offset from UTC (Z, or +hh:mm / -hh:mm)");
  *local = CalendarTime();
  local->year = dt.date.year;
  local->month = dt.date.month;
  local->day = dt.date.day;
  local->hour = dt.time.hour;
  local->minute = dt.time.minute;
  local->second = dt.time.second;
  local->milliseconds = static_cast<std::uint16_t>(dt.time.nanosecond / 1000000);
  *offset_minutes = dt.offset->minutes;
  std::uint64_t ticks = 0;
  if (!calendar_to_file_time(*local, &ticks))
    return l.fail(*node, quoted(key) + " is out of range (years 1601 to 30827)");
  return true;
}
