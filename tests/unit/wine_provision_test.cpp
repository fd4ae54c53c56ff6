// wine_provision_test.cpp: the Wine provisioner's decisions and its reading
// of what a provisioned prefix offers.

#include <gtest/gtest.h>

#include "as_provisioned.h"
#include "host/sim/sim_machine.h"
#include "prefix_files.h"
#include "wine_machine.h"

namespace {

TEST(WineProvision, VersionSettingsPathsAndTimeZones) {
  const struct {
    OsVersionRecord version;
    const char* setting;
  } cases[] = {
      {{1, 4, 0, 0x04000456}, "win95"},
      {{1, 4, 0, 0x04000457}, ""},  // 1111: 95B, from the registry
      {{1, 4, 90, 3000}, "winme"},
      {{2, 3, 51, 1057}, "nt351"},
      {{2, 5, 2, 3790}, "win2003"},
      {{2, 2, 0, 0}, "?"},
  };
  for (const auto& c : cases) EXPECT_EQ(wine_version_setting(c.version), c.setting) << c.setting;
  EXPECT_EQ(wine_path("c:\\winnt\\system32\\a.dll", "C:\\WINNT"), "C:\\windows\\system32\\a.dll");
  EXPECT_EQ(wine_path("C:\\WINNTX\\a.dll", "C:\\WINNT"), "C:\\WINNTX\\a.dll");
  EXPECT_EQ(wine_path("C:\\WINDOWS\\TEMP\\", "C:\\WINDOWS\\"), "C:\\windows\\TEMP\\");
  EXPECT_EQ(posix_time_zone(-300), "<-0500>+05:00");
  EXPECT_EQ(posix_time_zone(330), "<+0530>-05:30");
}

SimMachine nt4_machine() {
  SimMachine m;
  m.version = {2, 4, 0, 1381};
  m.windows_dir = "C:\\WINNT";
  m.temp_path = "C:\\WINNT\\TEMP\\";
  sim_set_dword(m, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                "C:\\WINNT\\system32\\Ibfs32.dll", 3);
  const char vdd[] = "C:\\WINNT\\DOWN.DLL\0";
  sim_set_value(m, "SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers", "VDD",
                SIM_REG_MULTI_SZ, std::vector<std::uint8_t>(vdd, vdd + sizeof vdd));
  return m;
}

// The registry file's text, back in the machine's code page.
std::string registry_text(const SimMachine& m) {
  std::string file = wine_registry_file(m);
  EXPECT_EQ(file.substr(0, 2), "\xFF\xFE");
  return code_page_from_utf16(m.code_page, file.substr(2));
}

TEST(WineProvision, RegistryFileMovesPathsAndSetsTheUser) {
  SimMachine win95b;
  win95b.version = {1, 4, 0, 0x04000457};
  sim_set_string(win95b, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "Identifier", "x");
  sim_set_string(win95b, "SOFTWARE\\X", "C1", "\x81");  // 1252 has no character there
  win95b.locale = {{LOCALE_ID_IDATE, "1"}, {LOCALE_ID_SDATE, "."}, {LOCALE_ID_ITIME, "1"}};
  SimMachine japanese = nt4_machine();
  japanese.code_page = 932;
  sim_set_string(japanese, "SOFTWARE\\\x95\x5C", "\x95\x5C", "\x95\x5C");  // U+8868 U+8868
  const struct {
    SimMachine machine;
    const char* part;
    bool present;
  } cases[] = {
      {nt4_machine(), "\"C:\\\\windows\\\\system32\\\\Ibfs32.dll\"=dword:00000003", true},
      {nt4_machine(), "WINNT", false},
      {nt4_machine(), "\"VDD\"=hex(7):43,00,3a,00,5c,00,77,00,69,00", true},  // C:\wi, UTF-16
      {nt4_machine(), "\"TEMP\"=\"C:\\\\windows\\\\TEMP\"", true},
      // No processor key in the machine: Wine's goes; the volatile key stays.
      {nt4_machine(), "[-HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0]",
       true},
      {win95b, "[-HKEY_LOCAL_MACHINE\\HARDWARE", false},
      {win95b, "\"ProcessorNameString\"=-", true},
      {win95b, "\"Version\"=-", true},
      {win95b, "\"sShortDate\"=\"dd.MM.yyyy\"", true},
      {win95b, "\"sTimeFormat\"=\"HH:mm:ss\"", true},
      {win95b, "\"C1\"=\"\x81\"", true},  // as MultiByteToWideChar maps it through
      // A second byte equal to a backslash is not escaped.
      {japanese, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\\x95\x5C]\r\n\"\x95\x5C\"=\"\x95\x5C\"\r\n", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(registry_text(c.machine).find(c.part) != std::string::npos, c.present) << c.part;
}

TEST(WineProvision, MachinesWineCannotProduceSayWhy) {
  SimMachine other, denied, unreadable, paused;
  other.version = {0, 3, 11, 0};
  denied.service_manager_open_error = 5;
  sim_set_string(unreadable, "Software\\Dallas Semiconductor\\iButton TMEX\\3.00", "TYPE5", "x");
  unreadable.registry.begin()->second.values.begin()->second.read_error = 5;
  SimService service;
  service.state = 7;
  sim_set_service(paused, "UserPort", service);
  SimMachine chinese, japanese = nt4_machine();
  chinese.code_page = 936;  // no Unix locale for it here
  japanese.code_page = 932;
  for (const SimMachine* m : {&other, &denied, &unreadable, &paused, &chinese})
    EXPECT_EQ(wine_cannot_produce(*m).size(), 1u);
  EXPECT_TRUE(wine_cannot_produce(japanese).empty());
}

TEST(WineProvision, VersionResourceScripts) {
  SimVersionInfo version;
  version.state = SIM_VERSION_PRESENT;
  version.translations = {0x04E40407, 0x04B00409};
  version.file_versions["040904B0"] = "3.10";
  EXPECT_NE(
      version_resource_script(version).find("\"Translation\", 0x0407, 0x04E4, 0x0409, 0x04B0"),
      std::string::npos);
  version.state = SIM_VERSION_NO_TRANSLATION;
  EXPECT_EQ(version_resource_script(version).find("Translation"), std::string::npos);
}

TEST(WineProvision, DriverFactsMakeTheMachineAsProvisioned) {
  SimMachine m = nt4_machine();
  sim_add_file(m, "C:\\WINNT\\system32\\Ibfs32.dll", 131072, 1);
  const std::string facts =
      "fact-temp-path: C:\\windows\\TEMP\\\n"
      "fact-locale: 29 .\n"
      "fact-utc-offset: -300\n"
      "fact-service: open-error 1060\n"
      "fact-tmex: no-function 127\n"
      "reg: [HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\n"
      "reg: \"CurrentVersion\"=hex(1):34,2e,30,00\n"
      "local-time: 2026-12-07 00:29:25\n"
      "list: (ignored)\n";
  std::string error;
  ASSERT_TRUE(apply_wine_facts(facts, "C:\\Dorvik\\Dorvik.exe", &m, &error)) << error;
  EXPECT_EQ(m.temp_path, "C:\\windows\\TEMP\\");
  EXPECT_EQ(m.locale[LOCALE_ID_SDATE], ".");
  EXPECT_EQ(m.utc_offset_minutes, -300);
  EXPECT_TRUE(m.services.empty());
  EXPECT_TRUE(m.tmex.present && !m.tmex.has_function);
  EXPECT_EQ(m.registry.size(), 1u);  // the profile's keys are replaced
  EXPECT_EQ(m.files.count("c:\\windows\\system32\\ibfs32.dll"), 1u);
  EXPECT_EQ(m.clock.second, 25);
  EXPECT_EQ(m.module_path, "C:\\Dorvik\\Dorvik.exe");
  EXPECT_FALSE(apply_wine_facts("fact-version: two\n", "x", &m, &error));
}

}  // namespace
