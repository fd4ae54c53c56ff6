// profile_system.cpp: the machine's Windows version, directories, locale
// settings and clock.

#include "host/sim/code_page.h"
#include "host/sim/file_time.h"
#include "host/sim/profile_sections.h"

bool load_version(const Loader& l, const toml::table& root) {
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

bool load_directories(const Loader& l, const toml::table& root) {
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

bool load_locale(const Loader& l, const toml::table& root) {
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

bool load_clock(const Loader& l, const toml::table& root) {
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
