// The registry checks where the machine profiles' whole reports do not
// reach, each case setting the values it reads; and the access rights with
// which every key of a run is opened.

#include "checks/registry_checks.h"

#include <gtest/gtest.h>

#include <set>

#include "test_machines.h"

namespace {

struct Value {
  const char* name;
  std::uint32_t type;
  std::string data;
};
Value text(const char* name, const std::string& s) { return {name, SIM_REG_SZ, s + '\0'}; }
Value number(const char* name, char n) { return {name, SIM_REG_DWORD, {n, 0, 0, 0}}; }
Value bytes(const char* name, const std::string& s) { return {name, SIM_REG_BINARY, s}; }

struct Outcome {
  DriverStatus status;
  std::string text;
};

// One check on a bare machine of the class whose checked key holds `values`.
Outcome run_check(RegistryCheck check, OsClass os, const std::vector<Value>& values,
                  const std::string& windows_dir, int code_page = CODE_PAGE_DEFAULT) {
  SimMachine m = bare_machine(os);
  m.windows_dir = windows_dir;
  m.code_page = code_page;
  sim_add_key(m, REGISTRY_CHECKS[check].key);
  for (const Value& v : values)
    sim_set_value(m, REGISTRY_CHECKS[check].key, v.name, v.type, {v.data.begin(), v.data.end()});
  SimHost host(m);
  ProcessValues process = values_for(host);
  RunContext ctx = {host, process};
  LineCapture out;
  Outcome o = {check_registry(ctx, out.sink, check), out.text()};
  EXPECT_EQ(host.open_handle_count(), 0);
  return o;
}

// The value lines below the head line, and the status.
TEST(RegistryChecks, ValueRulesTheirLinesAndStatuses) {
  const std::string x255(255, 'x');
  const struct {
    RegistryCheck check;
    std::vector<Value> values;
    DriverStatus status;
    std::string lines;
  } cases[] = {
      {REGISTRY_ROCKEY9X,
       {text("StaticVxD", "Rockey9x.vxd"), number("Support", 0), number("TestBusy", 2)},
       STATUS_UNSURE,
       "      StaticVxD: Rockey9x.vxd (AOK),\n        Support: 0x00000000 (AOK),\n"
       "       TestBusy: 0x00000002 ( ? ).\n"},
      // A found error stays an error, even when a later value is only unsure.
      {REGISTRY_ROCKEY9X,
       {number("Support", 1), bytes("TestBusy", {1, 0, 0, 0, 0})},
       STATUS_ERR,
       "      StaticVxD: Not Found (ERR),\n        Support: 0x00000001 ( ? ),\n"
       "       TestBusy: Not Found (AOK),\n"},
      // Texts in any case; a text without its NUL; 255 characters read
      // whole, 256 not at all.
      {REGISTRY_TMEX,
       {text("MainDriver", "ibfs32.dll"), bytes("TYPE1", "IB97E32.DLL"), text("TYPE2", x255),
        text("TYPE5", x255 + "x")},
       STATUS_ERR,
       "      MainDriver: ibfs32.dll (AOK),\n           TYPE1: IB97E32.DLL (AOK),\n"
       "           TYPE2: " +
           x255 + " (ERR),\n           TYPE5: Not Found (ERR),\n"},
  };
  for (const auto& c : cases) {
    Outcome o = run_check(c.check, OS_WIN98, c.values, "C:\\WINDOWS");
    EXPECT_EQ(o.status, c.status) << c.lines;
    EXPECT_EQ(o.text.substr(o.text.find('\n') + 1), c.lines);
  }
}

TEST(RegistryChecks, TheVddListIsSearchedAtEveryBytePosition) {
  const std::string target = "C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL", end(2, '\0'), long_dir(240, 'W');
  const std::string found = "      " + target + " (AOK).\n";
  const std::string missing = "      VDD: Downtvdd.dll Entry Not Found.\n";
  const struct {
    std::string list, line, windows_dir = "C:\\WINNT";
  } cases[] = {
      {"c:\\winnt\\system32\\downtvdd.dll" + end, found},
      {std::string("x.dll\0D:\\", 9) + target + end, found},  // a prefix still ends in it
      {target + " " + end, missing},                          // a trailing blank does not
      {target.substr(0, 29) + end, missing},
      // Positions run up to 255 less the target's 30 characters: at 225 it
      // still matches; one later it is not tried, though the data fit.
      {std::string(225, 'a') + target, found},
      {std::string(226, 'a') + target, missing},
      {std::string(257, 'a'), "      VDD: Not Found (ERR),\n"},
      {"C:\\" + long_dir + "\\SYSTEM32" + end, missing, "C:\\" + long_dir},  // longer than the list
  };
  for (const auto& c : cases) {
    Outcome o = run_check(REGISTRY_VDD, OS_NT4, {{"VDD", SIM_REG_MULTI_SZ, c.list}}, c.windows_dir);
    EXPECT_EQ(o.text.substr(o.text.find('\n') + 1), c.line);
    EXPECT_EQ(o.status, c.line == found ? STATUS_AOK : STATUS_ERR);
  }
}

TEST(RegistryChecks, OnADoubleByteCodePageALetterIsOneCharacter) {
  // Code page 932: 83 43 is one letter whose second byte is "C"; 83 41 and
  // 83 61 are two letters whose second bytes are "A" and "a".
  const struct {
    std::string windows_dir, entry;
    DriverStatus status;
  } cases[] = {
      {"C:\\WINNT", "\x83" + std::string("C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL"), STATUS_ERR},
      {"C:\\\x83\x41", "c:\\\x83\x41\\system32\\downtvdd.dll", STATUS_AOK},
      {"C:\\\x83\x41", "C:\\\x83\x61\\SYSTEM32\\DOWNTVDD.DLL", STATUS_ERR},
  };
  for (const auto& c : cases) {
    Value list = {"VDD", SIM_REG_MULTI_SZ, c.entry + std::string(2, '\0')};
    EXPECT_EQ(run_check(REGISTRY_VDD, OS_NT4, {list}, c.windows_dir, 932).status, c.status);
  }
}

// Every key of a run is opened to be read only: the driver keys and
// SharedDLLs with read access, the version and processor keys for their
// values alone.
TEST(RegistryAccess, EveryKeyIsOpenedOnlyToBeRead) {
  std::set<std::string> read_keys = {sim_fold(SHARED_DLLS_KEY)}, query_keys;
  for (const KeyCheck& check : REGISTRY_CHECKS) read_keys.insert(sim_fold(check.key));
  for (OsClass os : {OS_WIN98, OS_WINXP}) {  // the version key of 9x, then of NT
    SimMachine m = complete_machine(os);
    SimHost host(m);
    CapturedRun().run(host);
    for (const auto& [key, access] : host.key_opens) {
      const bool read = read_keys.count(key) != 0;
      EXPECT_EQ(access, read ? REG_ACCESS_READ : REG_ACCESS_QUERY_VALUE) << key;
      if (!read) query_keys.insert(key);
    }
  }
  EXPECT_EQ(query_keys.size(), 3u);  // two version keys and the processor key
}

}  // namespace
