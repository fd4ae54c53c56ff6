// profile_loader.cpp: machine.toml, checked key by key, into a SimMachine.

#include "host/sim/profile_loader.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>

#include "host/sim/code_page.h"
#include "host/sim/file_time.h"
#include "host/sim/reg_file.h"

// toml++ as a header-only library without exceptions: parse errors come back
// as values, and no exception can leave the loader.
#define TOML_HEADER_ONLY 1
#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

namespace {

const std::int64_t UINT32_LIMIT = 0xFFFFFFFFLL;

struct Loader {
  std::string source;
  std::string folder;
  SimMachine* machine;
  std::string* error;

  bool fail_at(std::uint32_t line, const std::string& what) {
    *error = source + ":" + std::to_string(line) + ": " + what;
    return false;
  }
  bool fail(const toml::node& at, const std::string& what) {
    return fail_at(at.source().begin.line, what);
  }
};

std::string quoted(const std::string& key) { return "\"" + key + "\""; }

// Every key of `table` must be one of `allowed`.
bool known_keys(Loader& l, const toml::table& table, const std::string& where,
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

// The sub-table `key`, or null when it is absent; false on a wrong type.
bool get_table(Loader& l, const toml::table& parent, const char* key, const toml::table** out) {
  *out = nullptr;
  const toml::node* node = parent.get(key);
  if (!node) return true;
  if (!node->is_table()) return l.fail(*node, quoted(key) + " must be a table");
  *out = node->as_table();
  return true;
}

bool get_integer(Loader& l, const toml::table& table, const char* key, std::int64_t min,
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

bool get_u32(Loader& l, const toml::table& table, const char* key, std::uint32_t* out) {
  std::int64_t value = *out;
  if (!get_integer(l, table, key, 0, UINT32_LIMIT, &value)) return false;
  *out = static_cast<std::uint32_t>(value);
  return true;
}

bool get_string(Loader& l, const toml::table& table, const char* key, std::string* out,
                bool* present = nullptr) {
  const toml::node* node = table.get(key);
  if (present) *present = node != nullptr;
  if (!node) return true;
  if (!node->is_string()) return l.fail(*node, quoted(key) + " must be a text in quotes");
  // Other letters come as \uXXXX escapes, and the machine has them in its code page.
  *out = code_page_from_utf8(l.machine->code_page, std::string(node->as_string()->get()));
  return true;
}

bool get_bool(Loader& l, const toml::table& table, const char* key, bool* out) {
  const toml::node* node = table.get(key);
  if (!node) return true;
  if (!node->is_boolean()) return l.fail(*node, quoted(key) + " must be true or false");
  *out = node->as_boolean()->get();
  return true;
}

bool require(Loader& l, const toml::table& table, const char* key, const std::string& where) {
  if (table.get(key)) return true;
  return l.fail(table, where + " has no " + quoted(key));
}

// A date and time with its offset from UTC, as its local calendar fields and
// the offset in minutes.
bool get_date_time(Loader& l, const toml::table& table, const char* key, CalendarTime* local,
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

bool read_file_bytes(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  *out = bytes.str();
  return !in.bad();
}

bool load_version(Loader& l, const toml::table& root) {
  const toml::table* t = nullptr;
  if (!get_table(l, root, "version", &t)) return false;
  if (!t) return l.fail_at(1, "no [version] table");
  if (!known_keys(l, *t, "[version]", {"platform", "major", "minor", "build", "readable"}))
    return false;
  for (const char* key : {"platform", "major", "minor", "build"})
    if (!require(l, *t, key, "[version]")) return false;
  OsVersionRecord& v = l.machine->version;
  return get_u32(l, *t, "platform", &v.platform_id) && get_u32(l, *t, "major", &v.major_version) &&
         get_u32(l, *t, "minor", &v.minor_version) && get_u32(l, *t, "build", &v.build_number) &&
         get_bool(l, *t, "readable", &l.machine->version_readable);
}

bool load_directories(Loader& l, const toml::table& root) {
  const toml::table* t = nullptr;
  if (!get_table(l, root, "directories", &t)) return false;
  if (!t) return l.fail_at(1, "no [directories] table");
  if (!known_keys(l, *t, "[directories]", {"windows", "temp", "program"})) return false;
  if (!require(l, *t, "windows", "[directories]") || !require(l, *t, "temp", "[directories]"))
    return false;
  SimMachine& m = *l.machine;
  if (!get_string(l, *t, "windows", &m.windows_dir) || !get_string(l, *t, "temp", &m.temp_path) ||
      !get_string(l, *t, "program", &m.module_path))
    return false;
  if (!code_page_ends_with(m.code_page, m.temp_path, '\\'))
    return l.fail(*t->get("temp"), "\"temp\" must end in a backslash, as GetTempPathA gives it");
  return true;
}

bool load_locale(Loader& l, const toml::table& root) {
  const toml::table* t = nullptr;
  if (!get_table(l, root, "locale", &t)) return false;
  if (!t) return true;  // every setting fails to read
  if (!known_keys(l, *t, "[locale]", {"codepage", "sdate", "idate", "stime", "itime"}))
    return false;
  std::int64_t code_page = CODE_PAGE_DEFAULT;
  if (!get_integer(l, *t, "codepage", 0, 65535, &code_page)) return false;
  if (!code_page_known(static_cast<int>(code_page)))
    return l.fail(*t->get("codepage"),
                  "\"codepage\" is " + std::to_string(code_page) +
                      ", which no Windows 95 to XP had as its ANSI code page (expected 874, "
                      "932, 936, 949, 950 or 1250 to 1258)");
  l.machine->code_page = static_cast<int>(code_page);
  const std::pair<const char*, std::uint32_t> settings[] = {{"sdate", LOCALE_ID_SDATE},
                                                            {"idate", LOCALE_ID_IDATE},
                                                            {"stime", LOCALE_ID_STIME},
                                                            {"itime", LOCALE_ID_ITIME}};
  for (const auto& setting : settings) {
    std::string text;
    bool present = false;
    if (!get_string(l, *t, setting.first, &text, &present)) return false;
    if (present) l.machine->locale[setting.second] = text;
  }
  return true;
}

bool load_clock(Loader& l, const toml::table& root) {
  const toml::table* t = nullptr;
  if (!get_table(l, root, "clock", &t)) return false;
  if (!t) return l.fail_at(1, "no [clock] table");
  if (!known_keys(l, *t, "[clock]", {"now"}) || !require(l, *t, "now", "[clock]")) return false;
  CalendarTime local;
  int offset = 0;
  if (!get_date_time(l, *t, "now", &local, &offset)) return false;
  // The day of the week, as GetLocalTime fills it in.
  std::uint64_t ticks = 0;
  calendar_to_file_time(local, &ticks);
  file_time_to_calendar(ticks, &local);
  l.machine->clock = local;
  l.machine->utc_offset_minutes = offset;
  return true;
}

bool load_registry(Loader& l, const toml::table& root) {
  const toml::table* t = nullptr;
  if (!get_table(l, root, "registry", &t)) return false;
  if (!t) return true;  // an empty registry
  if (!known_keys(l, *t, "[registry]", {"import", "errors"})) return false;

  if (const toml::node* files = t->get("import")) {
    if (!files->is_array()) return l.fail(*files, "\"import\" must be a list of file names");
    for (const toml::node& entry : *files->as_array()) {
      if (!entry.is_string()) return l.fail(entry, "\"import\" must be a list of file names");
      std::string name = entry.as_string()->get();
      std::string path = l.folder + "/" + name;
      std::string bytes;
      if (!read_file_bytes(path, &bytes))
        return l.fail(entry, "cannot read registry file " + quoted(path));
      std::string reg_error;
      if (!apply_reg_file(path, bytes, l.machine, &reg_error)) {
        *l.error = reg_error;
        return false;
      }
    }
  }

  if (const toml::node* errors = t->get("errors")) {
    if (!errors->is_array_of_tables())
      return l.fail(*errors, "\"errors\" must be a list of tables ([[registry.errors]])");
    for (const toml::node& entry : *errors->as_array()) {
      const toml::table& e = *entry.as_table();
      if (!known_keys(l, e, "[[registry.errors]]", {"key", "value", "error"}) ||
          !require(l, e, "key", "[[registry.errors]]") ||
          !require(l, e, "error", "[[registry.errors]]"))
        return false;
      std::string key, value;
      bool has_value = false;
      std::uint32_t code = 0;
      if (!get_string(l, e, "key", &key) || !get_string(l, e, "value", &value, &has_value) ||
          !get_u32(l, e, "error", &code))
        return false;
      if (code == 0) return l.fail(*e.get("error"), "\"error\" must be a Win32 error code, not 0");
      if (!has_value) {
        sim_add_key(*l.machine, key).open_error = code;
        continue;
      }
      SimRegistryKey& k = sim_add_key(*l.machine, key);
      std::string folded = sim_fold(value, l.machine->code_page);
      auto it = k.values.find(folded);
      if (it == k.values.end()) {
        SimRegistryValue v;
        v.name = value;
        it = k.values.emplace(folded, v).first;
      }
      it->second.read_error = code;
    }
  }
  return true;
}

// "040904B0": language, then code page, four hex digits each.
bool translation_key(const std::string& text, std::uint32_t* out) {
  if (text.size() != 8) return false;
  std::uint32_t number = 0;
  for (char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9')
      digit = static_cast<unsigned>(c - '0');
    else if (c >= 'a' && c <= 'f')
      digit = static_cast<unsigned>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<unsigned>(c - 'A' + 10);
    else
      return false;
    number = number << 4 | digit;
  }
  *out = (number >> 16) | (number & 0xFFFF) << 16;  // language low, code page high
  return true;
}

// The shorthand's block: US English, Unicode, as most driver files carry it.
const char SHORTHAND_TRANSLATION[] = "040904B0";

bool load_version_resource(Loader& l, const toml::node& node, SimVersionInfo* out) {
  if (node.is_string()) {
    std::uint32_t translation = 0;
    translation_key(SHORTHAND_TRANSLATION, &translation);
    out->state = SIM_VERSION_PRESENT;
    out->translations = {translation};
    out->file_versions[SHORTHAND_TRANSLATION] = node.as_string()->get();
    return true;
  }
  if (!node.is_table()) return l.fail(node, "\"version\" must be a FileVersion text or a table");
  const toml::table& t = *node.as_table();
  if (!known_keys(l, t, "a file's \"version\"", {"state", "translations", "strings"})) return false;
  std::string state = "present";
  if (!get_string(l, t, "state", &state)) return false;
  if (state == "absent")
    out->state = SIM_VERSION_ABSENT;
  else if (state == "unreadable")
    out->state = SIM_VERSION_UNREADABLE;
  else if (state == "no-translation")
    out->state = SIM_VERSION_NO_TRANSLATION;
  else if (state == "present")
    out->state = SIM_VERSION_PRESENT;
  else
    return l.fail(*t.get("state"), "\"state\" is " + quoted(state) +
                                       "; expected absent, unreadable, no-translation or present");
  if (const toml::node* list = t.get("translations")) {
    if (!list->is_array()) return l.fail(*list, "\"translations\" must be a list of texts");
    for (const toml::node& entry : *list->as_array()) {
      std::uint32_t translation = 0;
      if (!entry.is_string() || !translation_key(entry.as_string()->get(), &translation))
        return l.fail(entry,
                      "a translation is 8 hex digits, language then code page, "
                      "such as \"040904B0\"");
      out->translations.push_back(translation);
    }
  }
  if (const toml::node* strings = t.get("strings")) {
    if (!strings->is_table())
      return l.fail(*strings, "\"strings\" must be a table of FileVersion texts by block");
    for (auto&& [block, text] : *strings->as_table()) {
      std::uint32_t unused = 0;
      if (!translation_key(std::string(block.str()), &unused))
        return l.fail(text, "string block " + quoted(std::string(block.str())) +
                                " must be 8 hex digits, such as \"040904B0\"");
      if (!text.is_string()) return l.fail(text, "a FileVersion must be a text in quotes");
      out->file_versions[std::string(block.str())] = text.as_string()->get();
    }
  }
  return true;
}

bool load_files(Loader& l, const toml::table& root) {
  const toml::node* files = root.get("file");
  if (!files) return true;
  if (!files->is_array_of_tables())
    return l.fail(*files, "\"file\" must be a list of tables: one [[file]] per file");
  for (const toml::node& entry : *files->as_array()) {
    const toml::table& f = *entry.as_table();
    if (!known_keys(l, f, "a file", {"path", "size", "modified", "directory", "version"}) ||
        !require(l, f, "path", "a file") || !require(l, f, "modified", "a file"))
      return false;
    SimFile file;
    std::int64_t size = 0;
    CalendarTime modified;
    int offset = 0;
    if (!get_string(l, f, "path", &file.path) || !get_bool(l, f, "directory", &file.is_directory) ||
        !get_integer(l, f, "size", 0, INT64_MAX, &size) ||
        !get_date_time(l, f, "modified", &modified, &offset))
      return false;
    if (!file.is_directory && !f.get("size")) return l.fail(f, "a file has no \"size\"");
    if (file.path.size() < 3 || file.path[1] != ':' || file.path[2] != '\\')
      return l.fail(*f.get("path"), "\"path\" must be a full path such as 'C:\\WINDOWS\\x.dll'");
    std::uint64_t local_ticks = 0;
    calendar_to_file_time(modified, &local_ticks);
    std::int64_t shift = static_cast<std::int64_t>(offset) * 60 *
                         static_cast<std::int64_t>(FILE_TIME_TICKS_PER_SECOND);
    if (shift > 0 && local_ticks < static_cast<std::uint64_t>(shift))
      return l.fail(*f.get("modified"), "\"modified\" lies before 1601 in UTC");
    file.size = static_cast<std::uint64_t>(size);
    file.last_write_utc =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(local_ticks) - shift);
    if (const toml::node* version = f.get("version")) {
      if (file.is_directory) return l.fail(*version, "a directory has no version resource");
      if (!load_version_resource(l, *version, &file.version)) return false;
    }
    std::string folded = sim_fold(file.path, l.machine->code_page);
    if (l.machine->files.count(folded))
      return l.fail(f, "file " + quoted(file.path) + " is listed twice");
    l.machine->files[folded] = file;
  }
  return true;
}

bool load_tmex(Loader& l, const toml::table& root) {
  const toml::table* t = nullptr;
  if (!get_table(l, root, "tmex", &t)) return false;
  if (!t) return true;  // no library
  if (!known_keys(l, *t, "[tmex]", {"present", "has_function", "lookup_error", "answers"}) ||
      !require(l, *t, "present", "[tmex]"))
    return false;
  SimTmexLibrary& tmex = l.machine->tmex;
  if (!get_bool(l, *t, "present", &tmex.present) ||
      !get_bool(l, *t, "has_function", &tmex.has_function) ||
      !get_u32(l, *t, "lookup_error", &tmex.lookup_error))
    return false;
  const toml::table* answers = nullptr;
  if (!get_table(l, *t, "answers", &answers)) return false;
  if (!answers) return true;
  for (auto&& [port, answer] : *answers) {
    std::string name(port.str());
    char* end = nullptr;
    long type = std::strtol(name.c_str(), &end, 10);
    if (name.empty() || *end != '\0' || type < -32768 || type > 32767)
      return l.fail(answer, "port type " + quoted(name) + " must be a number (-32768 to 32767)");
    if (!answer.is_integer()) return l.fail(answer, "an answer must be an integer");
    std::int64_t value = answer.as_integer()->get();
    if (value < INT32_MIN || value > UINT32_LIMIT)
      return l.fail(answer, "answer " + std::to_string(value) +
                                " is out of range (-2147483648 to 4294967295)");
    tmex.answers[static_cast<int>(type)] = static_cast<std::uint32_t>(value);
  }
  return true;
}

const char* const SERVICE_STATES[] = {"stopped", "start-pending",    "stop-pending",
                                      "running", "continue-pending", "pause-pending",
                                      "paused"};

bool load_services(Loader& l, const toml::table& root) {
  const toml::table* manager = nullptr;
  if (!get_table(l, root, "service_manager", &manager)) return false;
  if (manager) {
    if (!known_keys(l, *manager, "[service_manager]", {"open_error"}) ||
        !get_u32(l, *manager, "open_error", &l.machine->service_manager_open_error))
      return false;
  }
  const toml::table* services = nullptr;
  if (!get_table(l, root, "services", &services)) return false;
  if (!services) return true;
  for (auto&& [name, node] : *services) {
    std::string where = "[services." + std::string(name.str()) + "]";
    if (!node.is_table()) return l.fail(node, where + " must be a table");
    const toml::table& s = *node.as_table();
    if (!known_keys(l, s, where, {"state", "open_error", "query_fails"})) return false;
    SimService service;
    if (!get_u32(l, s, "open_error", &service.open_error) ||
        !get_bool(l, s, "query_fails", &service.query_fails))
      return false;
    if (const toml::node* state = s.get("state")) {
      if (state->is_string()) {
        std::string text = state->as_string()->get();
        service.state = 0;
        for (std::uint32_t i = 0; i < 7; i++)
          if (text == SERVICE_STATES[i]) service.state = i + 1;
        if (service.state == 0)
          return l.fail(*state, "\"state\" is " + quoted(text) +
                                    "; expected stopped, start-pending, stop-pending, running, "
                                    "continue-pending, pause-pending, paused or a number");
      } else if (!get_u32(l, s, "state", &service.state)) {
        return false;
      }
    } else {
      return l.fail(s, where + " has no \"state\"");
    }
    sim_set_service(*l.machine, std::string(name.str()), service);
  }
  return true;
}

// machine.toml is ASCII: the machine's texts are in its ANSI code page,
// which only the .reg files express. The check also keeps other characters
// away from toml++ 3.3, which reaches __builtin_unreachable when it asks
// whether many characters from U+00A1 on are white space (as it does between
// tokens and in parts of strings): undefined behaviour on a typing slip.
bool ascii_only(const std::string& source, const std::string& text, std::string* error) {
  int line = 1;
  for (char c : text) {
    if (c == '\n') line++;
    if (static_cast<unsigned char>(c) < 0x80) continue;
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(c));
    *error = source + ":" + std::to_string(line) + ": a byte that is not ASCII (" + byte +
             "): machine.toml is ASCII only; texts in other letters go in a .reg file";
    return false;
  }
  return true;
}

}  // namespace

bool load_machine_profile_text(const std::string& source, const std::string& text,
                               const std::string& folder, SimMachine* machine, std::string* error) {
  if (!ascii_only(source, text, error)) return false;
  toml::parse_result parsed = toml::parse(text, std::string_view(source));
  if (!parsed) {
    *error = source + ":" + std::to_string(parsed.error().source().begin.line) + ": " +
             std::string(parsed.error().description());
    return false;
  }
  const toml::table& root = parsed.table();

  SimMachine fresh;
  fresh.locale.clear();
  fresh.services.clear();
  Loader l{source, folder, &fresh, error};
  if (!known_keys(l, root, "machine.toml",
                  {"description", "version", "directories", "locale", "clock", "registry", "file",
                   "tmex", "service_manager", "services"}))
    return false;
  std::string description;
  if (!get_string(l, root, "description", &description) || !load_locale(l, root) ||
      !load_version(l, root) || !load_directories(l, root) || !load_clock(l, root) ||
      !load_registry(l, root) || !load_files(l, root) || !load_tmex(l, root) ||
      !load_services(l, root))
    return false;
  *machine = fresh;
  return true;
}

bool load_machine_profile(const std::string& folder, SimMachine* machine, std::string* error) {
  std::string path = folder + "/" + PROFILE_MACHINE_FILE;
  std::string text;
  if (!read_file_bytes(path, &text)) {
    *error = path + ":0: cannot read the file";
    return false;
  }
  return load_machine_profile_text(path, text, folder, machine, error);
}
