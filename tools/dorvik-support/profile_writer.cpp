// profile_writer.cpp: machine.toml and registry.reg from a machine read back.

#include "profile_writer.h"

#include <cstdio>
#include <cstdlib>

#include "host/sim/code_page.h"
#include "host/sim/file_time.h"
#include "report/text.h"
#include "startup/os_class.h"

namespace {

struct Writer {
  std::string toml, reg, error;
  bool ok = true;
  void fail(const std::string& what) {
    if (ok) error = what;
    ok = false;
  }
};

// A TOML text in quotes: ASCII as it is, control characters and the code
// page's other characters as \\u escapes, which the loader turns back into
// the code page's bytes.
std::string toml_text(Writer& w, const std::string& text, const char* what, int code_page) {
  std::string out = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = code_page_char_length(code_page, text, at);
    const std::string character = text.substr(at, length);
    const unsigned char b = static_cast<unsigned char>(text[at]);
    at += length;
    if (length == 1 && b < 0x80) {
      if (b < 0x20 || b == 0x7F)
        out += format_text("\\u%04X", b);
      else
        out += std::string(b == '"' || b == '\\' ? "\\" : "") + static_cast<char>(b);
      continue;
    }
    const std::string utf8 = code_page_to_utf8(code_page, character);
    std::uint32_t code = 0;
    if (utf8.size() == 2) code = (utf8[0] & 0x1Fu) << 6 | (utf8[1] & 0x3Fu);
    if (utf8.size() == 3)
      code = (utf8[0] & 0x0Fu) << 12 | (utf8[1] & 0x3Fu) << 6 | (utf8[2] & 0x3Fu);
    if (code == 0 || code_page_from_utf8(code_page, utf8) != character)
      w.fail(std::string(what) + " holds a byte that its code page has no character for");
    out += format_text("\\u%04X", code);
  }
  return out + "\"";
}

std::string toml_time(Writer& w, const CalendarTime& t, int offset_minutes, const char* what) {
  const unsigned days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.year < 1601 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > days[t.month - 1] || t.hour > 23 || t.minute > 59 || t.second > 59)
    w.fail(std::string(what) + " is not a time from 1601 to 9999, which machine.toml cannot hold");
  std::string zone =
      offset_minutes == 0
          ? "Z"
          : format_text("%c%02d:%02d", offset_minutes < 0 ? '-' : '+',
                        std::abs(offset_minutes) / 60, std::abs(offset_minutes) % 60);
  return format_text("%04u-%02u-%02uT%02u:%02u:%02u%s", t.year, t.month, t.day, t.hour, t.minute,
                     t.second, zone.c_str());
}

void write_machine(Writer& w, const LogReading& r, const std::string& log_name) {
  const SimMachine& m = r.machine;
  const ReadFacts& f = r.facts;
  std::string& t = w.toml;
  std::string name = log_name;
  for (char& c : name)
    if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  t += "description = " +
       toml_text(w, "Read back from the report " + name, "the log's name", m.code_page) + "\n";
  if (m.windows_dir.size() < 3 || m.windows_dir[1] != ':' || m.windows_dir[2] != '\\')
    w.fail("the Windows directory \"" + m.windows_dir +
           "\" is not a drive path, which a profile cannot hold");
  t += "# Written by dorvik-support from that report: dorvik-sim on this folder writes the\n"
       "# report again, byte for byte. Where the report does not show a fact, a value\n"
       "# that gives the same report was chosen, and a comment says so.\n\n";
  t += format_text(
      "[version]  # the report shows the class 0x%02X (%s), not this record: one of that class\n"
      "platform = %u\nmajor = %u\nminor = %u\nbuild = %u\n\n",
      static_cast<unsigned>(f.os), os_class_name(f.os), m.version.platform_id,
      m.version.major_version, m.version.minor_version, m.version.build_number);
  t += "[directories]\nwindows = " +
       toml_text(w, m.windows_dir, "the Windows directory", m.code_page) +
       (f.windows_dir_shown ? "  # named by the VDD entry\n"
                            : "  # not in the report: where this class usually has it\n");
  t += "temp = " + toml_text(w, m.temp_path, "the temporary directory", m.code_page) +
       "  # not in the report\n";
  t += "program = " + toml_text(w, m.module_path, "the program's name", m.code_page) +
       "  # the report shows the file name only\n\n";
  t += "[locale]  # read back from the date and time line\n";
  t += format_text("codepage = %d  # not in the report: the one its bytes were read in\n",
                   m.code_page);
  const char* names[] = {"sdate", "idate", "stime", "itime"};
  const std::uint32_t ids[] = {LOCALE_ID_SDATE, LOCALE_ID_IDATE, LOCALE_ID_STIME, LOCALE_ID_ITIME};
  for (int i = 0; i < 4; i++) {
    auto it = m.locale.find(ids[i]);
    if (it != m.locale.end())
      t += std::string(names[i]) + " = " +
           toml_text(w, it->second, "a locale setting", m.code_page) + "\n";
  }
  t += "\n[clock]\nnow = " + toml_time(w, m.clock, m.utc_offset_minutes, "the report's date") +
       (m.utc_offset_minutes ? "  # the offset from UTC is not in the report: one at which a"
                               " file time before 1601 has no local date\n"
                             : "  # the offset from UTC is not in the report\n");
  t += "\n[registry]\nimport = [\"registry.reg\"]\n";
  if (m.tmex.present) {
    t += format_text("\n[tmex]\npresent = true\nhas_function = %s\nlookup_error = %u\n",
                     m.tmex.has_function ? "true" : "false", m.tmex.lookup_error);
    if (!m.tmex.answers.empty()) {
      t += "answers = {";
      bool first = true;
      for (const auto& a : m.tmex.answers) {
        t += format_text("%s %d = %u", first ? "" : ",", a.first, a.second);
        first = false;
      }
      t += " }\n";
    }
  }
  if (m.service_manager_open_error)
    t += format_text(
        "\n[service_manager]\nopen_error = %u  # the report does not tell which error\n",
        m.service_manager_open_error);
  for (const auto& s : m.services)
    t += format_text("\n[services.UserPort]\nstate = %u\nopen_error = %u\nquery_fails = %s\n",
                     s.second.state, s.second.open_error, s.second.query_fails ? "true" : "false");
  for (const auto& entry : m.files) {
    const SimFile& file = entry.second;
    CalendarTime utc = {};
    if (file.last_write_utc == 0 || !file_time_to_calendar(file.last_write_utc, &utc))
      utc = {1601, 1, 1, 1, 0, 0, 0, 0};
    t += "\n[[file]]\npath = " + toml_text(w, file.path, "a file's path", m.code_page) +
         format_text("\nsize = %llu\n", static_cast<unsigned long long>(file.size)) +
         "modified = " + toml_time(w, utc, 0, "a file's date") +
         "  # the report shows the local date only\n";
    switch (file.version.state) {
      case SIM_VERSION_ABSENT: break;
      case SIM_VERSION_UNREADABLE: t += "version = { state = \"unreadable\" }\n"; break;
      case SIM_VERSION_NO_TRANSLATION: t += "version = { state = \"no-translation\" }\n"; break;
      case SIM_VERSION_PRESENT:
        t += "version = " +
             toml_text(w, file.version.file_versions.begin()->second, "a file's version text",
                       m.code_page) +
             "\n";
        break;
    }
  }
}

// A .reg text in quotes, or false when only a hex form can hold it.
bool reg_quoted(const std::string& text, std::string* out) {
  *out = "\"";
  for (char c : text) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return false;
    if (c == '"' || c == '\\') *out += '\\';
    *out += c;
  }
  *out += "\"";
  return true;
}

std::string reg_hex(std::uint32_t type, const std::vector<std::uint8_t>& data) {
  std::string out = type == SIM_REG_BINARY ? "hex:" : format_text("hex(%x):", type);
  for (std::size_t i = 0; i < data.size(); i++) {
    if (i > 0) out += i % 24 == 0 ? ",\\\r\n  " : ",";
    out += format_text("%02x", data[i]);
  }
  return out;
}

void write_registry(Writer& w, const SimMachine& m) {
  std::string& reg = w.reg;
  reg = "REGEDIT4\r\n";
  for (const auto& entry : m.registry) {
    const SimRegistryKey& key = entry.second;
    reg += "\r\n[HKEY_LOCAL_MACHINE\\" + key.path + "]\r\n";
    for (const auto& v : key.values) {
      const SimRegistryValue& value = v.second;
      std::string name, text;
      if (!reg_quoted(value.name, &name)) {
        w.fail("a registry value's name holds a control character, which a .reg file cannot hold");
        continue;
      }
      const std::vector<std::uint8_t>& d = value.data;
      if (value.type == SIM_REG_DWORD && d.size() == 4) {
        reg += name + format_text("=dword:%08x\r\n", d[0] | d[1] << 8 | d[2] << 16 |
                                                         static_cast<unsigned>(d[3]) << 24);
      } else if (value.type == SIM_REG_SZ && !d.empty() && d.back() == 0 &&
                 reg_quoted(std::string(d.begin(), d.end() - 1), &text) &&
                 text.find('\0') == std::string::npos) {
        reg += name + "=" + text + "\r\n";
      } else {
        reg += name + "=" + reg_hex(value.type, d) + "\r\n";
      }
    }
  }
}

}  // namespace

bool write_profile(const LogReading& reading, const std::string& log_name, ProfileFiles* out,
                   std::string* error) {
  Writer w;
  if (reading.verdict != LOG_EXACT) w.fail(reading.message);
  write_machine(w, reading, log_name);
  write_registry(w, reading.machine);
  if (!w.ok) {
    *error = w.error;
    return false;
  }
  out->machine_toml = w.toml;
  out->registry_reg = w.reg;
  return true;
}
