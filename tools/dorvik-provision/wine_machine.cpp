// wine_machine.cpp: a SimMachine's Wine form: version, paths, registry file.

#include "wine_machine.h"

#include <cstdio>

#include "host/host.h"

namespace {

struct WineLocale {
  int code_page;
  const char* name;  // "" keeps the session's own
};
// The Unix locales that scripts/install-deps.sh makes sure of.
const WineLocale WINE_LOCALES[] = {
    {.code_page = CODE_PAGE_DEFAULT, .name = ""},
    {.code_page = 932, .name = "ja_JP.UTF-8"},
    {.code_page = 1251, .name = "ru_RU.UTF-8"},
};

bool same_letters(char a, char b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return lower(a) == lower(b);
}

// `text` starts with `prefix`, letters compared without case, and the prefix
// ends at a path component's end.
bool starts_with_dir(const std::string& text, const std::string& prefix) {
  if (prefix.empty() || text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); i++)
    if (!same_letters(text[i], prefix[i])) return false;
  return text.size() == prefix.size() || text[prefix.size()] == '\\' || prefix.back() == '\\';
}

std::string hex_bytes(const std::vector<std::uint8_t>& data) {
  std::string out;
  char hex[4];
  for (std::size_t i = 0; i < data.size(); i++) {
    std::snprintf(hex, sizeof hex, i ? ",%02x" : "%02x", data[i]);
    out += hex;
  }
  return out;
}

// A text of the code page in quotes, its backslashes and quotes escaped: by
// characters, since the second byte of a double-byte one may equal either.
std::string quoted(const std::string& text, int code_page) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = code_page_char_length(code_page, text, i);
    if (length == 1 && (text[i] == '\\' || text[i] == '"')) out += '\\';
    out += text.substr(i, length);
    i += length;
  }
  return out + "\"";
}

// A text value that regedit writes as "text": one terminating NUL, no NUL
// or line break inside.
bool plain_text(const SimRegistryValue& value) {
  if (value.type != SIM_REG_SZ || value.data.empty() || value.data.back() != 0) return false;
  for (std::size_t i = 0; i + 1 < value.data.size(); i++) {
    std::uint8_t c = value.data[i];
    if (c == 0 || c == '\r' || c == '\n') return false;
  }
  return true;
}

// Text data (types 1, 2 and 7: NUL-separated entries) with every entry's
// leading Windows directory moved to Wine's.
std::vector<std::uint8_t> moved_text_data(const std::vector<std::uint8_t>& data,
                                          const std::string& windows_dir) {
  std::vector<std::uint8_t> out;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = start;
    while (end < data.size() && data[end] != 0) end++;
    std::string entry(data.begin() + static_cast<std::ptrdiff_t>(start),
                      data.begin() + static_cast<std::ptrdiff_t>(end));
    std::string moved = wine_path(entry, windows_dir);
    out.insert(out.end(), moved.begin(), moved.end());
    if (end < data.size()) out.push_back(0);
    start = end + 1;
  }
  return out;
}

// One value's line of the registry file, in the machine's code page. Text
// data written as hex bytes is UTF-16, as the file's format has it.
std::string value_line(const SimRegistryValue& value, const SimMachine& m) {
  SimRegistryValue moved = value;
  bool text =
      value.type == SIM_REG_SZ || value.type == SIM_REG_EXPAND_SZ || value.type == SIM_REG_MULTI_SZ;
  if (text) moved.data = moved_text_data(value.data, m.windows_dir);
  std::string name =
      value.name.empty() ? "@" : quoted(wine_path(value.name, m.windows_dir), m.code_page);
  if (plain_text(moved))
    return name + "=" + quoted(std::string(moved.data.begin(), moved.data.end() - 1), m.code_page);
  if (text) {
    std::string utf16 =
        code_page_to_utf16(m.code_page, std::string(moved.data.begin(), moved.data.end()));
    moved.data.assign(utf16.begin(), utf16.end());
  }
  if (moved.type == SIM_REG_DWORD && moved.data.size() == 4) {
    char text[16];
    std::snprintf(text, sizeof text, "dword:%02x%02x%02x%02x", moved.data[3], moved.data[2],
                  moved.data[1], moved.data[0]);
    return name + "=" + text;
  }
  return name + "=hex(" + std::to_string(moved.type) + "):" + hex_bytes(moved.data);
}

// Where the user's regional settings can be set so that Wine derives the
// four settings the program reads, the date and time pictures; "" where a
// value has no picture.
std::string short_date_picture(const std::string& order, char separator) {
  std::string s(1, separator);
  if (order == "0") return "MM" + s + "dd" + s + "yyyy";
  if (order == "1") return "dd" + s + "MM" + s + "yyyy";
  if (order == "2") return "yyyy" + s + "MM" + s + "dd";
  return "";
}

std::string time_picture(const std::string& clock, char separator) {
  std::string s(1, separator);
  if (clock == "0") return "hh" + s + "mm" + s + "ss tt";
  if (clock == "1") return "HH" + s + "mm" + s + "ss";
  return "";
}

// The machine's locale setting, or the program's default where the
// machine's read fails: Wine's reads never fail, and its US English values
// are the program's defaults.
std::string locale_or_default(const SimMachine& m, std::uint32_t id, const char* fallback) {
  auto it = m.locale.find(id);
  return it == m.locale.end() ? fallback : it->second;
}

bool drive_path(const std::string& path) {
  return path.size() >= 3 && path[1] == ':' && path[2] == '\\' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::string wine_path(const std::string& path, const std::string& windows_dir) {
  std::string dir = windows_dir;
  while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
  if (!starts_with_dir(path, dir)) return path;
  return WINE_WINDOWS_DIR + path.substr(dir.size());
}

std::string wine_version_setting(const OsVersionRecord& v) {
  if (v.platform_id == 1) {
    if (v.minor_version == 10) return "win98";
    if (v.minor_version == 90) return "winme";
    return (v.build_number & 0xFFFF) <= 1110 ? "win95" : "";
  }
  if (v.platform_id == 2) {
    if (v.major_version == 3) return "nt351";
    if (v.major_version == 4) return "nt40";
    if (v.major_version == 5 && v.minor_version == 0) return "win2k";
    if (v.major_version == 5 && v.minor_version == 1) return "winxp";
    if (v.major_version == 5 && v.minor_version == 2) return "win2003";
    if (v.major_version == 6 && v.minor_version == 0) return "vista";
    if (v.major_version == 6 && v.minor_version == 1) return "win7";
    if (v.major_version == 6 && v.minor_version == 2) return "win8";
    if (v.major_version == 6 && v.minor_version == 3) return "win81";
    if (v.major_version == 10 && v.minor_version == 0) return "win10";
  }
  return "?";
}

std::vector<std::string> wine_cannot_produce(const SimMachine& m) {
  std::vector<std::string> why;
  if (!m.version_readable) why.push_back("the version record cannot be made unreadable");
  if (m.version_readable && wine_version_setting(m.version) == "?")
    why.push_back("Wine has no Windows version for platform " +
                  std::to_string(m.version.platform_id) + ", version " +
                  std::to_string(m.version.major_version) + "." +
                  std::to_string(m.version.minor_version));
  for (const auto& [folded, key] : m.registry) {
    if (key.open_error != HOSTERR_SUCCESS)
      why.push_back("registry key " + key.path + " cannot be made unopenable");
    for (const auto& [name, value] : key.values)
      if (value.read_error != HOSTERR_SUCCESS)
        why.push_back("registry value " + key.path + "\\" + value.name +
                      " cannot be made unreadable");
  }
  for (const auto& [folded, file] : m.files) {
    if (file.version.state == SIM_VERSION_UNREADABLE)
      why.push_back("the unreadable version resource of " + file.path);
    if (!drive_path(file.path)) why.push_back("a file path without a drive: " + file.path);
  }
  if (!drive_path(m.module_path)) why.push_back("the program path " + m.module_path);
  if (!drive_path(m.temp_path)) why.push_back("the temporary directory " + m.temp_path);
  if (!wine_unix_locale(m.code_page)) {
    std::string known;
    for (const WineLocale& locale : WINE_LOCALES)
      known += (known.empty() ? "" : ", ") + std::to_string(locale.code_page);
    why.push_back("the ANSI code page " + std::to_string(m.code_page) +
                  " (Wine takes it from the Unix locale; the Wine runs here have locales for " +
                  known + " only)");
  }
  if (m.service_manager_open_error != HOSTERR_SUCCESS)
    why.push_back("the service control manager cannot be made to refuse the user");
  for (const auto& [name, service] : m.services) {
    if (name != "userport") continue;
    if (service.open_error != HOSTERR_SUCCESS)
      why.push_back("the UserPort service cannot be made unopenable");
    if (service.query_fails) why.push_back("the UserPort status query cannot be made to fail");
    if (service.state != 1 && service.state != 4)
      why.push_back("the UserPort service state " + std::to_string(service.state) +
                    " (only stopped and running)");
  }
  if (m.tmex.present) {
    if (!m.tmex.has_function && m.tmex.lookup_error != HOSTERR_PROC_NOT_FOUND)
      why.push_back("GetProcAddress's error " + std::to_string(m.tmex.lookup_error));
    bool has_file = false;
    for (const auto& [folded, file] : m.files) {
      std::string name = folded.substr(folded.rfind('\\') + 1);
      has_file = has_file || (name == "ibfs32.dll" && !file.is_directory);
    }
    if (!has_file) why.push_back("a TMEX library with no Ibfs32.dll file entry");
  }
  std::string sdate = locale_or_default(m, LOCALE_ID_SDATE, "/");
  std::string stime = locale_or_default(m, LOCALE_ID_STIME, ":");
  if (sdate.empty() || stime.empty() ||
      short_date_picture(locale_or_default(m, LOCALE_ID_IDATE, "0"), sdate[0]).empty() ||
      time_picture(locale_or_default(m, LOCALE_ID_ITIME, "0"), stime[0]).empty())
    why.push_back("regional settings that no date or time picture gives");
  return why;
}

std::string posix_time_zone(int offset) {
  char text[32];
  int minutes = offset < 0 ? -offset : offset;
  std::snprintf(text, sizeof text, "<%c%02d%02d>%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60,
                minutes % 60, offset < 0 ? '+' : '-', minutes / 60, minutes % 60);
  return text;
}

std::string wine_registry_file(const SimMachine& m) {
  auto quote = [&m](const std::string& text) { return quoted(text, m.code_page); };
  std::string out = "Windows Registry Editor Version 5.00\r\n\r\n";
  std::string version = wine_version_setting(m.version);
  out += "[HKEY_CURRENT_USER\\Software\\Wine]\r\n";
  out += version.empty() ? "\"Version\"=-\r\n" : "\"Version\"=" + quote(version) + "\r\n";

  std::string sdate = locale_or_default(m, LOCALE_ID_SDATE, "/");
  std::string idate = locale_or_default(m, LOCALE_ID_IDATE, "0");
  std::string stime = locale_or_default(m, LOCALE_ID_STIME, ":");
  std::string itime = locale_or_default(m, LOCALE_ID_ITIME, "0");
  out += "\r\n[HKEY_CURRENT_USER\\Control Panel\\International]\r\n";
  out += "\"sShortDate\"=" + quote(short_date_picture(idate, sdate[0])) + "\r\n";
  out += "\"sDate\"=" + quote(sdate) + "\r\n\"iDate\"=" + quote(idate) + "\r\n";
  out += "\"sTimeFormat\"=" + quote(time_picture(itime, stime[0])) + "\r\n";
  out += "\"sTime\"=" + quote(stime) + "\r\n\"iTime\"=" + quote(itime) + "\r\n";

  std::string temp = wine_path(m.temp_path, m.windows_dir);
  while (temp.size() > 3 && code_page_ends_with(m.code_page, temp, '\\')) temp.pop_back();
  out += "\r\n[HKEY_CURRENT_USER\\Environment]\r\n";
  out += "\"TEMP\"=" + quote(temp) + "\r\n\"TMP\"=" + quote(temp) + "\r\n";

  // Wine's own values where the program looks; the machine's follow.
  out += "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\r\n";
  out += "\"VersionNumber\"=-\r\n\"SubVersionNumber\"=-\r\n";
  out += "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n";
  out += "\"CurrentVersion\"=-\r\n\"CSDVersion\"=-\r\n\"CurrentBuildNumber\"=-\r\n";
  // Without a setting Wine takes the version from the NT key when it has one.
  if (version.empty()) out += "\"CurrentBuild\"=-\r\n";
  for (const char* key :
       {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
        "SOFTWARE\\Dallas Semiconductor", "SYSTEM\\CurrentControlSet\\Services\\VxD\\Rockey9x",
        "SYSTEM\\CurrentControlSet\\Services\\DS1410D",
        "SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers"})
    out += std::string("\r\n[-HKEY_LOCAL_MACHINE\\") + key + "]\r\n";
  // Wine's processor key is volatile and cannot be made anew by an import:
  // its values are replaced, or the key goes when the machine has none.
  const char* const cpu_key = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
  if (m.registry.count(sim_fold(cpu_key)))
    out += std::string("\r\n[HKEY_LOCAL_MACHINE\\") + cpu_key +
           "]\r\n\"VendorIdentifier\"=-\r\n\"Identifier\"=-\r\n"
           "\"ProcessorNameString\"=-\r\n\"~MHz\"=-\r\n";
  else
    out += std::string("\r\n[-HKEY_LOCAL_MACHINE\\") + cpu_key + "]\r\n";

  for (const auto& [folded, key] : m.registry) {
    out += "\r\n[HKEY_LOCAL_MACHINE\\" + key.path + "]\r\n";
    for (const auto& [name, value] : key.values) out += value_line(value, m) + "\r\n";
  }
  return "\xFF\xFE" + code_page_to_utf16(m.code_page, out);
}

const char* wine_unix_locale(int code_page) {
  for (const WineLocale& locale : WINE_LOCALES)
    if (locale.code_page == code_page) return locale.name;
  return nullptr;
}
