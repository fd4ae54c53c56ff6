// wine_provision_test.cpp: the Wine provisioner's decisions and its reading
// of what a provisioned prefix offers.

#include <gtest/gtest.h>

#include "as_provisioned.h"
#include "host/sim/sim_machine.h"
#include "prefix_files.h"
#include "wine_machine.h"

namespace {

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(WineProvision, VersionSettingPerClass) {
  struct Case {
    OsVersionRecord version;
    const char* setting;
  };
  const Case cases[] = {
      {{1, 4, 0, 0x040003B6}, "win95"},
      {{1, 4, 0, 0x04000456}, "win95"},  // 1110: 95A
      {{1, 4, 0, 0x04000457}, ""},       // 1111: 95B, from the registry
      {{1, 4, 10, 2222}, "win98"},
      {{1, 4, 90, 3000}, "winme"},
      {{2, 3, 51, 1057}, "nt351"},
      {{2, 4, 0, 1381}, "nt40"},
      {{2, 5, 0, 2195}, "win2k"},
      {{2, 5, 1, 2600}, "winxp"},
      {{2, 5, 2, 3790}, "win2003"},
      {{0, 3, 11, 0}, "?"},
      {{2, 2, 0, 0}, "?"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(wine_version_setting(c.version), c.setting)
        << c.version.platform_id << " " << c.version.major_version << "."
        << c.version.minor_version;
}

TEST(WineProvision, PathsMoveOnlyBelowTheWindowsDirectory) {
  EXPECT_EQ(wine_path("C:\\WINNT\\system32\\Ibfs32.dll", "C:\\WINNT"),
            "C:\\windows\\system32\\Ibfs32.dll");
  EXPECT_EQ(wine_path("c:\\winnt", "C:\\WINNT"), "C:\\windows");
  EXPECT_EQ(wine_path("C:\\WINNTX\\a.dll", "C:\\WINNT"), "C:\\WINNTX\\a.dll");
  EXPECT_EQ(wine_path("C:\\TEMP\\", "C:\\WINNT"), "C:\\TEMP\\");
  EXPECT_EQ(wine_path("C:\\WINDOWS\\TEMP\\", "C:\\WINDOWS\\"), "C:\\windows\\TEMP\\");
}

TEST(WineProvision, FixedOffsetTimeZones) {
  EXPECT_EQ(posix_time_zone(120), "<+0200>-02:00");
  EXPECT_EQ(posix_time_zone(-300), "<-0500>+05:00");
  EXPECT_EQ(posix_time_zone(330), "<+0530>-05:30");
  EXPECT_EQ(posix_time_zone(0), "<+0000>-00:00");
}

SimMachine nt4_machine() {
  SimMachine m;
  m.version = {2, 4, 0, 1381};
  m.windows_dir = "C:\\WINNT";
  m.temp_path = "C:\\WINNT\\TEMP\\";
  sim_set_dword(m, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                "C:\\WINNT\\system32\\Ibfs32.dll", 3);
  std::string vdd = "C:\\WINNT\\system32\\DOWNTVDD.DLL";
  std::vector<std::uint8_t> list(vdd.begin(), vdd.end());
  list.push_back(0);
  list.push_back(0);
  sim_set_value(m, "SYSTEM\\CurrentControlSet\\Control\\VirtualDeviceDrivers", "VDD",
                SIM_REG_MULTI_SZ, list);
  return m;
}

TEST(WineProvision, RegistryFileMovesPathsAndSetsTheUser) {
  std::string reg = wine_registry_file(nt4_machine());
  EXPECT_TRUE(contains(reg, "\"Version\"=\"nt40\""));
  EXPECT_TRUE(contains(reg, "\"C:\\\\windows\\\\system32\\\\Ibfs32.dll\"=dword:00000003"));
  EXPECT_FALSE(contains(reg, "WINNT"));
  // "C:\windows" in the multi-string's bytes.
  EXPECT_TRUE(contains(reg, "\"VDD\"=hex(7):43,3a,5c,77,69,6e,64,6f,77,73,5c"));
  EXPECT_TRUE(contains(reg, "\"TEMP\"=\"C:\\\\windows\\\\TEMP\""));
  EXPECT_TRUE(contains(reg, "\"sShortDate\"=\"MM/dd/yyyy\""));
  EXPECT_TRUE(contains(reg, "\"sTimeFormat\"=\"hh:mm:ss tt\""));
  // No processor key in the machine: Wine's goes.
  EXPECT_TRUE(
      contains(reg, "[-HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0]"));
}

TEST(WineProvision, Windows95BTakesItsVersionFromTheRegistry) {
  SimMachine m;
  m.version = {1, 4, 0, 0x04000457};
  sim_set_string(m, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", "Identifier", "x86");
  m.locale[LOCALE_ID_IDATE] = "1";
  m.locale[LOCALE_ID_SDATE] = ".";
  m.locale[LOCALE_ID_ITIME] = "1";
  std::string reg = wine_registry_file(m);
  EXPECT_TRUE(contains(reg, "\"Version\"=-"));
  EXPECT_TRUE(contains(reg, "\"CurrentBuild\"=-"));
  EXPECT_TRUE(contains(reg, "\"sShortDate\"=\"dd.MM.yyyy\""));
  EXPECT_TRUE(contains(reg, "\"sTimeFormat\"=\"HH:mm:ss\""));
  // The processor key is volatile: its values are replaced, the key stays.
  EXPECT_TRUE(contains(reg, "\"ProcessorNameString\"=-"));
  EXPECT_FALSE(contains(reg, "[-HKEY_LOCAL_MACHINE\\HARDWARE"));
}

TEST(WineProvision, MachinesWineCannotProduceSayWhy) {
  SimMachine other;
  other.version = {0, 3, 11, 0};
  SimMachine denied;
  denied.service_manager_open_error = 5;
  SimMachine unreadable;
  sim_set_string(unreadable, "Software\\Dallas Semiconductor\\iButton TMEX\\3.00", "TYPE5", "x");
  unreadable.registry.begin()->second.values.begin()->second.read_error = 5;
  SimMachine paused;
  SimService service;
  service.state = 7;
  sim_set_service(paused, "UserPort", service);
  SimMachine japanese;
  japanese.code_page = 932;
  for (const SimMachine* m : {&other, &denied, &unreadable, &paused, &japanese})
    EXPECT_EQ(wine_cannot_produce(*m).size(), 1u);
  EXPECT_TRUE(wine_cannot_produce(nt4_machine()).empty());
}

TEST(WineProvision, VersionResourceScripts) {
  SimVersionInfo version;
  version.state = SIM_VERSION_PRESENT;
  version.translations = {0x04E40407, 0x04B00409};
  version.file_versions["040904B0"] = "3.10";
  std::string rc = version_resource_script(version);
  EXPECT_TRUE(contains(rc, "BLOCK \"040904B0\""));
  EXPECT_TRUE(contains(rc, "VALUE \"FileVersion\", \"3.10\""));
  EXPECT_TRUE(contains(rc, "VALUE \"Translation\", 0x0407, 0x04E4, 0x0409, 0x04B0"));
  version.state = SIM_VERSION_NO_TRANSLATION;
  EXPECT_FALSE(contains(version_resource_script(version), "Translation"));
}

TEST(WineProvision, DriverFactsMakeTheMachineAsProvisioned) {
  SimMachine m = nt4_machine();
  sim_add_file(m, "C:\\WINNT\\system32\\Ibfs32.dll", 131072, 1);
  const std::string facts =
      "fact-version: 2 4 0 1381\n"
      "fact-windows-dir: C:\\windows\n"
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
  EXPECT_EQ(m.windows_dir, "C:\\windows");
  EXPECT_EQ(m.temp_path, "C:\\windows\\TEMP\\");
  EXPECT_EQ(m.locale[LOCALE_ID_SDATE], ".");
  EXPECT_EQ(m.utc_offset_minutes, -300);
  EXPECT_TRUE(m.services.empty());
  EXPECT_TRUE(m.tmex.present);
  EXPECT_FALSE(m.tmex.has_function);
  EXPECT_EQ(m.registry.size(), 1u);  // the profile's keys are replaced
  EXPECT_EQ(m.files.count("c:\\windows\\system32\\ibfs32.dll"), 1u);
  EXPECT_EQ(m.clock.hour, 0);
  EXPECT_EQ(m.clock.second, 25);
  EXPECT_EQ(m.module_path, "C:\\Dorvik\\Dorvik.exe");
  EXPECT_FALSE(apply_wine_facts("fact-version: two\n", "x", &m, &error));
}

}  // namespace
