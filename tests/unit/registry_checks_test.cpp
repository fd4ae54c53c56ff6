// The four registry checks: lines, suffixes, statuses and handles.

#include "checks/registry_checks.h"

#include <gtest/gtest.h>

#include <functional>

#include "test_machines.h"

namespace {

const char ROCKEY_KEY[] = "System\\CurrentControlSet\\Services\\VxD\\Rockey9x";
const char TMEX_KEY[] = "Software\\Dallas Semiconductor\\iButton TMEX\\3.00";
const char DS_KEY[] = "System\\CurrentControlSet\\Services\\DS1410D";
const char VDD_KEY[] = "System\\CurrentControlSet\\Control\\VirtualDeviceDrivers";

typedef DriverStatus (*Check)(const RunContext&, ReportSink&);

struct Outcome {
  DriverStatus status;
  std::string text;
};

Outcome run_check(Check check, const SimMachine& m) {
  SimHost host(m);
  ProcessValues values = values_for(host);
  RunContext ctx = {host, values};
  LineCapture out;
  Outcome o = {check(ctx, out.sink), out.text()};
  EXPECT_EQ(host.open_handle_count(), 0);
  EXPECT_EQ(host.bad_close_count(), 0);
  EXPECT_EQ(host.key_access.begin()->second, REG_ACCESS_READ);
  return o;
}

std::vector<std::uint8_t> bytes(const std::string& s) {
  return std::vector<std::uint8_t>(s.begin(), s.end());
}

TEST(Rockey9xRegistry, ValueRulesAndTheirStatuses) {
  struct Case {
    const char* what;
    std::function<void(SimMachine&)> setup;
    DriverStatus status;
    const char* lines;
  } cases[] = {
      {"support absent, test busy 1",
       [](SimMachine& m) {
         sim_set_string(m, ROCKEY_KEY, "StaticVxD", "Rockey9x.vxd");
         sim_set_dword(m, ROCKEY_KEY, "TestBusy", 1);
       },
       STATUS_AOK,
       "(AOK) HKLM\\System\\CurrentControlSet\\Services\\VxD\\Rockey9x: Found,\n"
       "      StaticVxD: Rockey9x.vxd (AOK),\n"
       "        Support: Not Found (AOK),\n"
       "       TestBusy: 0x00000001 (AOK).\n"},
      {"capitals, test busy 2, support absent",
       [](SimMachine& m) {
         sim_set_string(m, ROCKEY_KEY, "StaticVxD", "ROCKEY9X.VXD");
         sim_set_dword(m, ROCKEY_KEY, "Support", 0);
         sim_set_dword(m, ROCKEY_KEY, "TestBusy", 2);
       },
       STATUS_UNSURE,
       "( ? ) HKLM\\System\\CurrentControlSet\\Services\\VxD\\Rockey9x: Found,\n"
       "      StaticVxD: ROCKEY9X.VXD (AOK),\n"
       "        Support: 0x00000000 (AOK),\n"
       "       TestBusy: 0x00000002 ( ? ).\n"},
      // A found error stays an error, even when a later value is only unsure.
      {"static vxd absent, support 1",
       [](SimMachine& m) { sim_set_dword(m, ROCKEY_KEY, "Support", 1); }, STATUS_ERR,
       "(ERR) HKLM\\System\\CurrentControlSet\\Services\\VxD\\Rockey9x: Found,\n"
       "      StaticVxD: Not Found (ERR),\n"
       "        Support: 0x00000001 ( ? ),\n"
       "       TestBusy: Not Found (AOK),\n"},
      {"wrong driver, too long a number",
       [](SimMachine& m) {
         sim_set_string(m, ROCKEY_KEY, "StaticVxD", "Rockey9x.vxd ");
         sim_set_value(m, ROCKEY_KEY, "TestBusy", SIM_REG_BINARY, {0, 0, 0, 0, 0});
       },
       STATUS_ERR,
       "(ERR) HKLM\\System\\CurrentControlSet\\Services\\VxD\\Rockey9x: Found,\n"
       "      StaticVxD: Rockey9x.vxd  (ERR),\n"
       "        Support: Not Found (AOK),\n"
       "       TestBusy: Not Found (AOK),\n"},
      {"key absent", [](SimMachine&) {}, STATUS_ERR,
       "(ERR) HKLM\\System\\CurrentControlSet\\Services\\VxD\\Rockey9x: Not Found.\n"},
  };
  for (const Case& c : cases) {
    SimMachine m = bare_machine(OS_WIN98);
    c.setup(m);
    Outcome o = run_check(check_rockey9x_registry, m);
    EXPECT_EQ(o.status, c.status) << c.what;
    EXPECT_EQ(o.text, c.lines) << c.what;
  }
}

TEST(Rockey9xRegistry, CountsOnlyOnWindows9x) {
  for (OsClass os : {OS_WIN95A, OS_WIN95B, OS_WIN98, OS_WINME})
    EXPECT_EQ(run_check(check_rockey9x_registry, bare_machine(os)).status, STATUS_ERR) << os;
  for (OsClass os : {OS_OTHER_PLATFORM, OS_NT351, OS_NT4, OS_WIN2000, OS_WINXP}) {
    Outcome o = run_check(check_rockey9x_registry, bare_machine(os));
    EXPECT_EQ(o.status, STATUS_NR) << os;
    EXPECT_EQ(o.text.substr(0, 6), "(n/r) ");
  }
}

TEST(TmexRegistry, TextsComparedWithoutCaseAndEveryFailureAnError) {
  struct Case {
    const char* what;
    std::function<void(SimMachine&)> setup;
    DriverStatus status;
    const char* value_lines;
  } cases[] = {
      {"as installed", [](SimMachine&) {}, STATUS_AOK,
       "      MainDriver: IBFS32.DLL (AOK),\n           TYPE1: IB97E32.DLL (AOK),\n"
       "           TYPE2: IB10E32.DLL (AOK),\n           TYPE5: IB97U32.DLL (AOK),\n"},
      {"lower case, other driver, text without NUL, too long",
       [](SimMachine& m) {
         sim_set_string(m, TMEX_KEY, "MainDriver", "ibfs32.dll");
         sim_set_string(m, TMEX_KEY, "TYPE1", "IB97E32.DLL.OLD");
         sim_set_value(m, TMEX_KEY, "TYPE2", SIM_REG_SZ, bytes("IB10E32.DLL"));
         sim_set_string(m, TMEX_KEY, "TYPE5", std::string(256, 'x'));
       },
       STATUS_ERR,
       "      MainDriver: ibfs32.dll (AOK),\n           TYPE1: IB97E32.DLL.OLD (ERR),\n"
       "           TYPE2: IB10E32.DLL (AOK),\n           TYPE5: Not Found (ERR),\n"},
      {"255 characters are read whole",
       [](SimMachine& m) { sim_set_string(m, TMEX_KEY, "TYPE5", std::string(255, 'x')); },
       STATUS_ERR,
       "      MainDriver: IBFS32.DLL (AOK),\n           TYPE1: IB97E32.DLL (AOK),\n"
       "           TYPE2: IB10E32.DLL (AOK),\n"},
  };
  for (const Case& c : cases) {
    for (OsClass os : {OS_WIN95A, OS_WINXP}) {
      SimMachine m = complete_machine(os);
      c.setup(m);
      Outcome o = run_check(check_tmex_registry, m);
      EXPECT_EQ(o.status, c.status) << c.what;
      std::string head = std::string("(") + status_text(c.status) +
                         ") HKLM\\Software\\Dallas Semiconductor\\iButton TMEX\\3.00: Found,\n";
      if (std::string(c.what) == "255 characters are read whole")
        EXPECT_EQ(o.text, head + c.value_lines + "           TYPE5: " + std::string(255, 'x') +
                              " (ERR),\n");
      else
        EXPECT_EQ(o.text, head + c.value_lines) << c.what;
    }
  }
}

TEST(Ds1410dRegistry, NumbersInHexadecimalAndTheirRules) {
  SimMachine m = complete_machine(OS_WINXP);
  sim_set_string(m, DS_KEY, "Start", "2");  // a number stored as text: bytes 32 00
  sim_set_string(m, DS_KEY, "Group", "Extended Base ");
  sim_set_value(m, DS_KEY, "Tag", SIM_REG_BINARY, {2});  // short data: upper bytes zero
  m.registry[sim_fold(DS_KEY)].values.erase("type");
  Outcome o = run_check(check_ds1410d_registry, m);
  EXPECT_EQ(o.status, STATUS_ERR);
  EXPECT_EQ(o.text,
            "(ERR) HKLM\\System\\CurrentControlSet\\Services\\DS1410D: Found,\n"
            "      ErrorControl: 0x00000001 (AOK),\n"
            "             Group: Extended Base  (ERR),\n"
            "             Start: 0x00000032 (ERR),\n"
            "               Tag: 0x00000002 (AOK),\n"
            "              Type: Not Found (ERR),\n");
  for (OsClass os : {OS_WIN98, OS_NT351, OS_OTHER_PLATFORM})
    EXPECT_EQ(run_check(check_ds1410d_registry, complete_machine(os)).status, STATUS_NR);
  for (OsClass os : {OS_NT4, OS_WIN2000})
    EXPECT_EQ(run_check(check_ds1410d_registry, complete_machine(os)).status, STATUS_AOK);
}

TEST(VddRegistry, SearchesEveryBytePositionForTheTargetPath) {
  auto list = [](std::initializer_list<std::string> entries) {
    std::string s;
    for (const std::string& e : entries) s += e + '\0';
    return bytes(s + '\0');
  };
  const std::string found =
      "(AOK) HKLM\\System\\CurrentControlSet\\Control\\VirtualDeviceDrivers: Found,\n"
      "      C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL (AOK).\n";
  const std::string not_found =
      "(ERR) HKLM\\System\\CurrentControlSet\\Control\\VirtualDeviceDrivers: Found,\n"
      "      VDD: Downtvdd.dll Entry Not Found.\n";
  struct Case {
    std::vector<std::uint8_t> data;
    std::string expected;
  } cases[] = {
      {list({"C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL"}), found},
      {list({"c:\\winnt\\system32\\downtvdd.dll"}), found},
      {list({"x.dll", "D:\\C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL"}),
       found},                                                    // a prefix still ends in it
      {list({"C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL "}), not_found},  // a trailing blank does not
      {list({"C:\\WINNT\\SYSTEM32\\DOWNTVDD.DL"}), not_found},
      {list({}), not_found},
      // Positions run up to 255 less the target's 30 characters: at 225 it
      // still matches; one later it is not tried, though the data fit.
      {bytes(std::string(225, 'a') + "C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL"), found},
      {bytes(std::string(226, 'a') + "C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL"), not_found},
      {bytes(std::string(257, 'a')),
       "(ERR) HKLM\\System\\CurrentControlSet\\Control\\"
       "VirtualDeviceDrivers: Found,\n      VDD: Not Found (ERR),\n"},
  };
  for (const Case& c : cases) {
    SimMachine m = complete_machine(OS_NT4);
    sim_set_value(m, VDD_KEY, "VDD", SIM_REG_MULTI_SZ, c.data);
    Outcome o = run_check(check_vdd_registry, m);
    EXPECT_EQ(o.text, c.expected);
    EXPECT_EQ(o.status, c.expected == found ? STATUS_AOK : STATUS_ERR);
  }
}

TEST(VddRegistry, OnADoubleByteCodePageALetterIsOneCharacter) {
  // Code page 932: 83 43 is one letter whose second byte is "C"; 83 41 and
  // 83 61 are two letters whose second bytes are "A" and "a".
  struct Case {
    const char* windows_dir;
    const char* entry;
    DriverStatus status;
  } cases[] = {
      {"C:\\WINNT",
       "\x83"
       "C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL",
       STATUS_ERR},
      {"C:\\\x83\x41", "c:\\\x83\x41\\system32\\downtvdd.dll", STATUS_AOK},
      {"C:\\\x83\x41", "C:\\\x83\x61\\SYSTEM32\\DOWNTVDD.DLL", STATUS_ERR},
  };
  for (const Case& c : cases) {
    SimMachine m = complete_machine(OS_NT4);
    m.code_page = 932;
    m.windows_dir = c.windows_dir;
    sim_set_value(m, VDD_KEY, "VDD", SIM_REG_MULTI_SZ, bytes(std::string(c.entry) + '\0'));
    EXPECT_EQ(run_check(check_vdd_registry, m).status, c.status) << c.entry;
  }
}

TEST(VddRegistry, AWindowsDirectoryTooLongForTheBufferNeverMatches) {
  SimMachine m = complete_machine(OS_NT4);
  m.windows_dir = "C:\\" + std::string(240, 'W');
  std::string target = m.windows_dir + "\\SYSTEM32\\DOWNTVDD.DLL";  // 262 characters
  sim_set_value(m, VDD_KEY, "VDD", SIM_REG_MULTI_SZ, bytes(target.substr(0, 250) + '\0'));
  Outcome o = run_check(check_vdd_registry, m);
  EXPECT_EQ(o.status, STATUS_ERR);
  EXPECT_EQ(o.text.substr(o.text.find('\n') + 1), "      VDD: Downtvdd.dll Entry Not Found.\n");
}

TEST(VddRegistry, CountsOnlyOnNt4) {
  SimMachine m = complete_machine(OS_NT4);
  m.registry[sim_fold(VDD_KEY)].values.clear();
  Outcome o = run_check(check_vdd_registry, m);
  EXPECT_EQ(o.status, STATUS_ERR);
  EXPECT_EQ(o.text,
            "(ERR) HKLM\\System\\CurrentControlSet\\Control\\VirtualDeviceDrivers: Found,\n"
            "      VDD: Not Found (ERR),\n");
  for (OsClass os : {OS_WIN2000, OS_WINXP, OS_WIN98, OS_NT351}) {
    SimMachine other = complete_machine(os);
    other.windows_dir = "C:\\WINNT";
    sim_set_value(other, VDD_KEY, "VDD", SIM_REG_MULTI_SZ,
                  bytes("C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL"));
    EXPECT_EQ(run_check(check_vdd_registry, other).status, STATUS_NR) << os;
  }
}

TEST(RegistryChecks, AKeyThatCannotBeOpenedIsNotFound) {
  SimMachine m = complete_machine(OS_WINXP);
  sim_add_key(m, TMEX_KEY).open_error = HOSTERR_ACCESS_DENIED;
  Outcome o = run_check(check_tmex_registry, m);
  EXPECT_EQ(o.status, STATUS_ERR);
  EXPECT_EQ(o.text, "(ERR) HKLM\\Software\\Dallas Semiconductor\\iButton TMEX\\3.00: Not Found.\n");
}

}  // namespace
