// log_reader.cpp: reading a report section by section, then running it again.

#include "log_reader.h"

#include <cstdlib>

#include "checks/registry_checks.h"
#include "checks/registry_values.h"
#include "host/sim/code_page.h"
#include "host/sim/file_time.h"
#include "line_forms.h"
#include "log_text.h"
#include "report/text.h"

namespace {

// A found driver file as its line shows it.
struct ShownFile {
  bool found = false;
  std::uint32_t size = 0;
  bool has_date = false;
  unsigned month = 0, day = 0, year = 0;
  bool count_known = false;
  std::uint32_t count = 0;
  std::string version;
};

// Why reading stopped early.
enum Stop { READ_ON, STOP_ENDED, STOP_BAD_LINE };

struct Reader {
  Reader(std::vector<std::string>& l, SimMachine& machine, ReadFacts& f)
      : lines(l), m(machine), facts(f) {}
  std::vector<std::string>& lines;
  std::size_t at = 0;
  SimMachine& m;
  ReadFacts& facts;
  const LineForms& forms = line_forms();
  ShownFile files[DRIVER_SLOT_COUNT];
  std::string windows_dir;
  Stop stop = READ_ON;
  std::string expected;     // what a bad line should have been
  std::size_t section = 0;  // where the section being read began

  bool more() {
    if (at < lines.size()) return true;
    stop = STOP_ENDED;
    return false;
  }
  bool bad(const std::string& what) {
    stop = STOP_BAD_LINE;
    expected = what;
    return false;
  }
  const std::string& line() const { return lines[at]; }
  // The line after its status "(XXX) ", or false.
  bool after_status(std::string* rest) const {
    if (line().size() < 6 || line()[0] != '(' || line()[4] != ')' || line()[5] != ' ') return false;
    *rest = line().substr(6);
    return true;
  }
  bool blank() {
    if (!more()) return false;
    if (!is_blank_line(line())) return bad("a blank line");
    at++;
    section = at;
    return true;
  }
};

bool number_text(const std::string& text, std::uint64_t limit, std::uint64_t* out) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos || text.size() - i > 20) return false;
  std::uint64_t value = 0;
  for (; i < text.size(); i++) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (value > limit) return false;
  }
  *out = value;
  return true;
}

// A registry text of up to 256 bytes, as a read of 256 bytes returns it:
// shorter texts carry their NUL, a text of 256 bytes has none.
void set_text(SimMachine& m, const std::string& key, const std::string& name,
              const std::string& text) {
  if (text.size() < REGISTRY_TEXT_CAPACITY)
    sim_set_string(m, key, name, text);
  else
    sim_set_value(m, key, name, SIM_REG_SZ, std::vector<std::uint8_t>(text.begin(), text.end()));
}

bool read_title(Reader& r) {
  if (!r.more()) return false;
  std::vector<std::string> holes;
  if (!fill_template(r.forms.title, r.line(), &holes)) {
    // The title of another version: the same words with another version text.
    const LineTemplate& t = r.forms.title;
    const std::string& head = t.lits[0];
    if (r.line().compare(0, head.size(), head) == 0 && !r.line().empty() &&
        r.line().back() == ')') {
      std::string::size_type v = r.line().rfind(" v");
      if (v != std::string::npos && v >= head.size()) {
        r.facts.program_file_name = r.line().substr(head.size(), v - head.size());
        r.facts.other_version = r.line().substr(v + 2, r.line().size() - v - 3);
      }
    }
    return r.bad("the title line");
  }
  r.facts.program_file_name = holes[0];
  r.m.module_path = "C:\\Program Files\\Dorvik\\" + holes[0];
  r.at++;
  return true;
}

bool read_date_time(Reader& r) {
  if (!r.more()) return false;
  if (!read_date_time_line(r.line(), &r.facts.date_time)) return r.bad("the date and time line");
  const DateTimeReading& d = r.facts.date_time;
  r.facts.date_time_read = true;
  r.m.locale[LOCALE_ID_SDATE] = std::string(1, d.formats.date_separator);
  r.m.locale[LOCALE_ID_IDATE] = std::to_string(d.formats.date_order);
  r.m.locale[LOCALE_ID_STIME] = std::string(1, d.formats.time_separator);
  r.m.locale[LOCALE_ID_ITIME] = std::to_string(d.formats.clock);
  r.m.clock = d.clock;
  r.at++;
  return true;
}

bool read_os(Reader& r) {
  if (!r.more()) return false;
  if (r.at + 1 >= r.lines.size()) {
    r.stop = STOP_ENDED;
    return false;
  }
  // The class line comes second, but decides how the first one reads.
  const std::string& class_line = r.lines[r.at + 1];
  for (const auto& entry : r.forms.class_lines)
    if (entry.second == class_line) r.facts.os = entry.first;
  if (r.facts.os == OS_UNSUPPORTED) {
    r.at++;
    return r.bad("the Windows class line (\"" + r.forms.class_lines.begin()->second +
                 "\" or such)");
  }
  r.m.version = r.forms.class_records.at(r.facts.os);
  const OsClass os = r.facts.os;
  std::vector<RegistryPlace> places = version_places(os);
  std::vector<std::string> holes;
  const LineTemplate& t = os_in(WIN9X_CLASSES, os) ? r.forms.version_9x
                          : os_in(NT_CLASSES, os)  ? r.forms.version_nt
                                                   : r.forms.version_other;
  if (!fill_template(t, r.line(), &holes)) return r.bad("the Windows version line");
  if (os_in(WIN9X_CLASSES, os) && holes.size() == 2) {
    // The version and the sub-version stand side by side: the sub-version
    // ("  A ") begins at a blank, and neither holds more than a read takes.
    std::string all = holes[0] + holes[1];
    const std::size_t most = REGISTRY_TEXT_CAPACITY;
    std::size_t least = all.size() > most ? all.size() - most : 0;
    std::string::size_type split = all.find(' ', least);
    if (split == std::string::npos || split > most)
      split = std::max(least, std::min(all.size(), most));
    holes = {all.substr(0, split), all.substr(split)};
  }
  r.facts.version_parts = holes;
  for (std::size_t i = 0; i < holes.size() && i < places.size(); i++)
    if (!holes[i].empty() || i == 0) set_text(r.m, places[i].key, places[i].value, holes[i]);
  r.at += 2;
  return true;
}

bool read_cpu(Reader& r) {
  if (!r.more()) return false;
  if (r.line() == r.forms.cpu_missing) {
    r.at++;
    return true;
  }
  std::vector<RegistryPlace> places = cpu_places();
  if (places.size() < 4) return r.bad("the processor lines");
  sim_add_key(r.m, places[0].key);
  r.facts.cpu_key = true;
  std::vector<std::string> holes;
  for (int i = 0; i < 3; i++) {
    if (!r.more()) return false;
    if (r.line() != r.forms.cpu_unavailable[i]) {
      if (!fill_template(r.forms.cpu_text[i], r.line(), &holes))
        return r.bad("\"" + r.forms.cpu_unavailable[i] + "\" or its value");
      set_text(r.m, places[i].key, places[i].value, holes[0]);
      r.facts.cpu[i] = holes[0];
    }
    r.at++;
  }
  if (!r.more()) return false;
  if (r.line() != r.forms.cpu_unavailable[3]) {
    if (!fill_template(r.forms.cpu_speed, r.line(), &holes)) return r.bad("the processor speed");
    const char* text = holes[0].c_str();
    char* end = nullptr;
    long long speed = std::strtoll(text, &end, 10);
    if (holes[0].empty() || *end != '\0' || speed < INT32_MIN || speed > INT32_MAX)
      return r.bad("the processor speed in MHz");
    sim_set_dword(r.m, places[3].key, places[3].value, static_cast<std::uint32_t>(speed));
  }
  r.at++;
  return true;
}

bool read_file_line(Reader& r, int slot) {
  if (!r.more()) return false;
  std::string rest;
  std::vector<std::string> holes;
  if (!r.after_status(&rest)) return r.bad("the line of " + std::string(DRIVER_FILES[slot].name));
  ShownFile& f = r.files[slot];
  r.facts.file_line[slot] = static_cast<int>(r.at);
  if (rest == r.forms.file_missing[slot]) {
    r.at++;
    return true;
  }
  // The size is padded to its width: the padding is the program's, not the value's.
  const std::string& name_part = r.forms.file_found[slot].lits[0];
  if (rest.compare(0, name_part.size(), name_part) == 0) {
    std::string::size_type digits = rest.find_first_not_of(' ', name_part.size());
    if (digits != std::string::npos) rest = name_part + rest.substr(digits);
  }
  std::uint64_t number = 0;
  if (!fill_template(r.forms.file_found[slot], rest, &holes) || holes.size() != 4 ||
      !number_text(holes[0], 0xFFFFFFFFu, &number))
    return r.bad("the line of " + std::string(DRIVER_FILES[slot].name));
  f.found = true;
  f.size = static_cast<std::uint32_t>(number);
  if (!holes[1].empty()) {
    // The date as month-day-year, the way the file lines always show it.
    std::uint64_t month = 0, day = 0, year = 0;
    if (holes[1].size() < 10 || holes[1][2] != '-' || holes[1][5] != '-' ||
        !number_text(holes[1].substr(0, 2), 12, &month) ||
        !number_text(holes[1].substr(3, 2), 31, &day) ||
        !number_text(holes[1].substr(6), 30828, &year))
      return r.bad("a file date (month-day-year)");
    f.has_date = true;
    f.month = static_cast<unsigned>(month);
    f.day = static_cast<unsigned>(day);
    f.year = static_cast<unsigned>(year);
  }
  if (holes[2] != r.forms.count_unknown) {
    if (!number_text(holes[2], 0xFFFFFFFEu, &number)) return r.bad("a shared-use count");
    f.count_known = true;
    f.count = static_cast<std::uint32_t>(number);
  }
  f.version = holes[3];
  r.at++;
  return true;
}

bool read_rule_key(Reader& r, const KeyForm& form, int check) {
  if (!r.more()) return false;
  r.facts.key_line[check] = static_cast<int>(r.at);
  std::string rest;
  if (!r.after_status(&rest)) return r.bad("\"" + form.head_found + "\"");
  if (rest == form.head_missing) {
    r.at++;
    return true;
  }
  if (rest != form.head_found)
    return r.bad("\"" + form.head_found + "\" or \"" + form.head_missing + "\"");
  sim_add_key(r.m, form.key);
  r.at++;
  std::vector<std::string> holes;
  for (const RuleForm& rule : form.rules) {
    if (!r.more()) return false;
    if (r.line() == rule.unreadable) {
      r.at++;
      continue;
    }
    if (!fill_template(rule.value, r.line(), &holes) &&
        !fill_template(rule.expected, r.line(), &holes))
      return r.bad("the line of \"" + rule.name + "\"");
    if (rule.is_text) {
      if (holes[0].size() > REGISTRY_TEXT_CAPACITY) return r.bad("a text of 256 bytes at most");
      set_text(r.m, form.key, rule.name, holes[0]);
    } else {
      char* end = nullptr;
      unsigned long number = std::strtoul(holes[0].c_str(), &end, 16);
      if (holes[0].size() != 8 || *end != '\0') return r.bad("a number of eight hex digits");
      sim_set_dword(r.m, form.key, rule.name, static_cast<std::uint32_t>(number));
    }
    r.at++;
  }
  return true;
}

bool read_vdd(Reader& r) {
  const VddForm& form = r.forms.vdd;
  if (!r.more()) return false;
  r.facts.key_line[3] = static_cast<int>(r.at);
  std::string rest;
  if (!r.after_status(&rest)) return r.bad("\"" + form.key.head_found + "\"");
  if (rest == form.key.head_missing) {
    r.at++;
    return true;
  }
  if (rest != form.key.head_found) return r.bad("\"" + form.key.head_found + "\"");
  sim_add_key(r.m, form.key.key);
  r.at++;
  if (!r.more()) return false;
  std::vector<RegistryPlace> places;
  std::vector<std::string> holes;
  const std::string value = "VDD";
  if (r.line() == form.unreadable) {
  } else if (r.line() == form.entry_missing) {
    sim_set_value(r.m, form.key.key, value, SIM_REG_MULTI_SZ, {0});
  } else if (fill_template(form.found, r.line(), &holes)) {
    r.windows_dir = holes[0];
    r.facts.windows_dir_shown = true;
    std::string entry = vdd_entry_path(holes[0]);
    std::vector<std::uint8_t> list(entry.begin(), entry.end());
    list.push_back(0);
    list.push_back(0);
    sim_set_value(r.m, form.key.key, value, SIM_REG_MULTI_SZ, list);
  } else {
    return r.bad("\"" + form.unreadable + "\", \"" + form.entry_missing + "\" or an entry found");
  }
  r.at++;
  return true;
}

bool read_tmex(Reader& r) {
  if (!r.more()) return false;
  r.facts.tmex_line = static_cast<int>(r.at);
  if (r.line() == r.forms.tmex_absent) {
    r.at++;
    return true;
  }
  if (r.line() != r.forms.tmex_present) return r.bad("\"" + r.forms.tmex_absent + "\" or such");
  r.m.tmex.present = true;
  r.at++;
  if (!r.more()) return false;
  std::vector<std::string> holes;
  std::uint64_t error = 0;
  if (fill_template(r.forms.tmex_no_function, r.line(), &holes)) {
    if (!number_text(holes[0], 0xFFFFFFFFu, &error)) return r.bad("an error code");
    r.m.tmex.has_function = false;
    r.m.tmex.lookup_error = static_cast<std::uint32_t>(error);
    r.at++;
    return true;
  }
  for (std::size_t i = 0; i < r.forms.port_types.size(); i++) {
    if (!r.more()) return false;
    if (r.line() == r.forms.port_present[i])
      r.m.tmex.answers[r.forms.port_types[i]] = 1;
    else if (r.line() != r.forms.port_absent[i])
      return r.bad("\"" + r.forms.port_present[i] + "\" or \"" + r.forms.port_absent[i] + "\"");
    r.at++;
  }
  return true;
}

bool read_userport(Reader& r) {
  if (!r.more()) return false;
  std::string rest;
  r.facts.userport_line = static_cast<int>(r.at);
  if (!r.after_status(&rest)) return r.bad("the UserPort line");
  for (const ServiceForm& form : service_forms(r.facts.os)) {
    if (form.line != rest) continue;
    r.m.service_manager_open_error = form.manager_error;
    if (form.has_service) sim_set_service(r.m, "UserPort", form.service);
    r.at++;
    return true;
  }
  return r.bad("a UserPort line of this Windows class");
}

bool read_groups(Reader& r) {
  r.facts.group_line = static_cast<int>(r.at);
  for (int g = 0; g < GROUP_COUNT; g++) {
    if (!r.more()) return false;
    std::string rest;
    if (!r.after_status(&rest) || rest != r.forms.summary[g])
      return r.bad("\"" + r.forms.summary[g] + "\"");
    r.at++;
  }
  return true;
}

bool read_sections(Reader& r) {
  if (!r.blank() || !read_title(r) || !r.blank() || !read_date_time(r) || !r.blank() ||
      !read_os(r) || !r.blank() || !read_cpu(r) || !r.blank())
    return false;
  for (int slot = 0; slot < DRIVER_SLOT_COUNT; slot++)
    if (!read_file_line(r, slot)) return false;
  if (!r.blank()) return false;
  for (int check = 0; check < REGISTRY_VDD; check++)
    if (!read_rule_key(r, r.forms.rule_keys[check], check) || !r.blank()) return false;
  return read_vdd(r) && r.blank() && read_tmex(r) && r.blank() && read_userport(r) && r.blank() &&
         read_groups(r);
}

// The file time of a local date at noon (or at midnight where noon is past
// the last file time), with the offset from UTC of the machine.
std::uint64_t local_date_time(unsigned year, unsigned month, unsigned day, int offset_minutes) {
  const std::uint64_t day_ticks = 24ull * 3600 * FILE_TIME_TICKS_PER_SECOND;
  const std::uint64_t cycle = 146097 * day_ticks;  // 400 Gregorian years
  unsigned cycles = 0;
  while (year > 30000 && cycles < 2) {
    year -= 400;
    cycles++;
  }
  CalendarTime t = {};
  t.year = static_cast<std::uint16_t>(year);
  t.month = static_cast<std::uint16_t>(month);
  t.day = static_cast<std::uint16_t>(day);
  std::uint64_t ticks = 0;
  if (!calendar_to_file_time(t, &ticks)) return 0;
  ticks += cycles * cycle;
  std::int64_t shift = static_cast<std::int64_t>(offset_minutes) * 60 *
                       static_cast<std::int64_t>(FILE_TIME_TICKS_PER_SECOND);
  std::uint64_t noon = ticks + day_ticks / 2;
  std::uint64_t local = noon < 0x7FFF000000000000ull ? noon : ticks;
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(local) - shift);
}

// The Windows directory when no VDD entry names it: where the class puts it.
std::string usual_windows_dir(OsClass os) {
  return os == OS_NT4 || os == OS_NT351 || os == OS_WIN2000 ? "C:\\WINNT" : "C:\\WINDOWS";
}

void place_files(Reader& r) {
  const std::string dir = r.facts.windows_dir_shown ? r.windows_dir : usual_windows_dir(r.facts.os);
  r.m.windows_dir = dir;
  r.m.temp_path = dir + "\\TEMP\\";
  for (const ShownFile& f : r.files)
    if (f.found && !f.has_date) r.facts.unconvertible_file_time = true;
  // A date that no conversion gives: a time before 1601 in local time.
  r.m.utc_offset_minutes = r.facts.unconvertible_file_time ? -60 : 0;
  const std::string shared = shared_use_key();
  for (int slot = 0; slot < DRIVER_SLOT_COUNT; slot++) {
    const ShownFile& f = r.files[slot];
    if (!f.found) continue;
    std::string path = driver_path(r.facts.os, dir, slot);
    std::uint64_t time =
        f.has_date ? local_date_time(f.year, f.month, f.day, r.m.utc_offset_minutes) : 0;
    SimFile& file = sim_add_file(r.m, path, f.size, time);
    auto placeholder = r.forms.version_placeholders.find(f.version);
    if (placeholder != r.forms.version_placeholders.end()) {
      file.version.state = placeholder->second;
    } else {
      file.version.state = SIM_VERSION_PRESENT;
      file.version.translations = {0x04B00409};
      file.version.file_versions["040904B0"] = f.version;
    }
    if (f.count_known) sim_set_dword(r.m, shared, path, f.count);
  }
}

bool same_line(const std::string& a, const std::string& b) {
  return a == b || (is_blank_line(a) && is_blank_line(b));
}

std::string quoted(const std::string& text) {
  std::string shown = text.size() > 70 ? text.substr(0, 67) + "..." : text;
  return "\"" + shown + "\"";
}

// One reading of the bytes, judged.
LogReading judge(const LogText& text, int code_page) {
  LogReading out;
  out.machine.code_page = code_page;
  out.encoding = text.encoding;
  out.line_ends = text.line_ends;
  out.lines = text.lines;
  out.numbers = text.numbers;
  if (text.bad_line) {
    out.line = text.bad_line;
    out.verdict = LOG_NOT_REPORT;
    out.message = "line " + std::to_string(text.bad_line) + ": " + text.bad_reason;
    return out;
  }
  // A log whose first blank line went missing still begins with its title.
  if (!out.lines.empty() && !is_blank_line(out.lines[0])) {
    out.lines.insert(out.lines.begin(), " ");
    out.numbers.insert(out.numbers.begin(), 0);
  }
  out.machine.services.clear();
  Reader r(out.lines, out.machine, out.facts);
  bool whole = read_sections(r);
  // Nothing but blank lines may follow the last group line.
  if (whole)
    for (std::size_t i = r.at; i < out.lines.size(); i++)
      if (!is_blank_line(out.lines[i])) {
        r.at = i;
        r.bad("the end of the report");
        whole = false;
        break;
      }
  out.lines_read = static_cast<int>(r.at);
  if (r.stop != READ_ON && r.at <= 1) {
    out.verdict = r.stop == STOP_BAD_LINE && !out.facts.other_version.empty() ? LOG_UNKNOWN_VERSION
                                                                              : LOG_NOT_REPORT;
    out.line = file_line(
        out, static_cast<long>(std::min(r.at, out.lines.size() - (out.lines.empty() ? 0 : 1))));
    out.message = out.verdict == LOG_UNKNOWN_VERSION
                      ? "line " + std::to_string(out.line) + ": a report of " +
                            out.facts.program_file_name + " version " + out.facts.other_version +
                            "; this tool knows the texts of version " + line_forms().version_text
                      : "line " + std::to_string(out.line) +
                            ": not a Dorvik report (it does not begin with Dorvik's title line)";
    return out;
  }
  // The line that stopped the reading: the last one was perhaps cut part way.
  bool last_line = r.stop == STOP_BAD_LINE && r.at + 1 == out.lines.size();
  if (r.stop == STOP_ENDED || last_line) r.section = std::min(r.section, r.at);
  place_files(r);
  run_sim_program(out.machine, "", &out.run);
  const std::size_t compared = whole ? out.lines.size() : r.section;
  for (std::size_t i = 0; i < compared; i++) {
    const std::string wrote = i < out.run.lines.size() ? out.run.lines[i] : std::string();
    if (same_line(out.lines[i], wrote)) continue;
    out.verdict = LOG_EDITED;
    out.line = file_line(out, static_cast<long>(i));
    out.message = "line " + std::to_string(out.line) + " reads " + quoted(out.lines[i]) +
                  ", but on the machine that its other lines describe Dorvik writes " +
                  quoted(wrote) + ": the lines contradict each other (the report was edited)";
    return out;
  }
  if (whole) {
    out.verdict = LOG_EXACT;
    return out;
  }
  if (r.stop == STOP_ENDED || last_line) {
    out.verdict = LOG_CUT_OFF;
    out.line = file_line(out, static_cast<long>(out.lines.size()) - 1);
    out.message = "the report is cut off at line " + std::to_string(out.line) +
                  (last_line ? " (that line is incomplete)" : "") + ": it ends before " +
                  (r.stop == STOP_ENDED ? std::string("its last group line") : r.expected);
    return out;
  }
  out.verdict = LOG_EDITED;
  out.line = file_line(out, static_cast<long>(r.at));
  out.message = "line " + std::to_string(out.line) + " reads " + quoted(out.lines[r.at]) +
                ", where Dorvik writes " + r.expected + ": the report was edited";
  return out;
}

}  // namespace

int file_line(const LogReading& reading, long index) {
  if (index >= 0 && static_cast<std::size_t>(index) < reading.numbers.size())
    return reading.numbers[static_cast<std::size_t>(index)];
  return reading.numbers.empty() ? 1 : reading.numbers.back() + 1;
}

LogReading read_log(const std::string& bytes) {
  // The report does not name its code page: the Western one first, then
  // each other one Windows had, until the program writes the same report.
  const int code_pages[] = {
      CODE_PAGE_DEFAULT, 1250, 1251, 1253, 1254, 1255, 1256, 1257, 1258, 874, 932, 936, 949, 950};
  LogReading best;
  bool have = false;
  for (const LogText& text : log_readings(bytes)) {
    for (int code_page : code_pages) {
      LogReading reading = judge(text, code_page);
      if (reading.verdict == LOG_EXACT) return reading;
      // Of readings that fail, the one that went furthest tells most.
      if (!have || reading.lines_read > best.lines_read) best = reading;
      have = true;
      if (reading.lines_read <= 2) break;  // not a report in any code page
    }
  }
  return best;
}
