// profile_loader_test.cpp: machine.toml into a simulated machine, and its faults.

#include "host/sim/profile_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The registry files beside it: registry.reg, and broken.reg with a bad dword on line 5.
const std::string FOLDER = DORVIK_SOURCE_DIR "/tests/data/profile";

const std::string GOOD_TOML = R"(description = "test machine"
version = { platform = 1, major = 4, minor = 10, build = 0x040A08AE }
directories = { windows = 'C:\WINDOWS', temp = 'C:\WINDOWS\TEMP\' }
locale = { sdate = ".", itime = "1" }
clock = { now = 2004-11-23T08:05:09-08:00 }
tmex = { present = true, answers = { 1 = 1, 2 = 0, 5 = -1 } }
service_manager = { open_error = 0 }
services.UserPort = { state = "stop-pending" }
[registry]
import = ["registry.reg"]
[[registry.errors]]
key = 'SOFTWARE\Denied'
error = 5
[[file]]
path = 'C:\WINDOWS\SYSTEM\Ibfs32.dll'
size = 4295098368
modified = 2001-10-03T23:30:00-02:00
version = { translations = ["040704E4"], strings = { "040704E4" = "x" } }
[[file]]
path = 'C:\WINDOWS\INF\Rockusb.inf'
directory = true
modified = 2003-05-02T08:00:00Z
)";

TEST(ProfileLoader, LoadsEveryPartOfTheMachine) {
  SimMachine m;
  std::string error;
  ASSERT_TRUE(load_machine_profile_text("machine.toml", GOOD_TOML, FOLDER, &m, &error)) << error;
  // What no profile's report shows; 23:30 at -02:00 is 01:30 UTC the next day.
  EXPECT_EQ(m.locale.size(), 2u);
  EXPECT_EQ(m.clock.day_of_week, 2);
  EXPECT_EQ(m.registry.at("software\\denied").open_error, 5u);
  const SimFile& ibfs = m.files.at("c:\\windows\\system\\ibfs32.dll");
  EXPECT_EQ(ibfs.size, 4295098368u);
  EXPECT_EQ(ibfs.last_write_utc, sim_file_time(2001, 10, 4, 1, 30, 0));
}

// A fault leaves the caller's machine as it was.
std::string load_error(const std::string& toml) {
  SimMachine m;
  m.windows_dir = "untouched";
  std::string error;
  if (load_machine_profile_text("machine.toml", toml, FOLDER, &m, &error)) return "loaded";
  if (m.windows_dir != "untouched" || !m.registry.empty()) return "half-loaded: " + error;
  return error;
}

TEST(ProfileLoader, FaultsNameTheFileTheLineAndWhat) {
  const struct {
    std::string replace, with, error;  // a text of the good profile, what stands there, the error
  } cases[] = {
      {"minor = 10", "minor = = 10",
       "2: Error while parsing value: could not determine value type"},
      {"major = 4", "major = 4, colour = 2",
       "2: unknown key \"colour\" in [version] (known: platform, major, minor, build, readable)"},
      {"platform = 1", "platform = \"1\"", "2: \"platform\" must be an integer"},
      {"present = true", "present = 1", "6: \"present\" must be true or false"},
      {"windows = 'C:\\WINDOWS'", "windows = 1", "3: \"windows\" must be a text in quotes"},
      {"0x040A08AE", "0x1_0000_0000", "2: \"build\" is 4294967296, out of range (0 to 4294967295)"},
      {"5 = -1", "5 = 4294967296",
       "6: answer 4294967296 is out of range (-2147483648 to 4294967295)"},
      {"1 = 1", "one = 1", "6: port type \"one\" must be a number (-32768 to 32767)"},
      {"\"stop-pending\"", "\"halted\"",
       "8: \"state\" is \"halted\"; expected stopped, start-pending, stop-pending, running, "
       "continue-pending, pause-pending, paused or a number"},
      {"registry.reg", "missing.reg",
       "10: cannot read registry file \"" + FOLDER + "/missing.reg\""},
      {"08:00:00Z", "08:00:00",
       "22: \"modified\" needs its offset from UTC (Z, or +hh:mm / -hh:mm)"},
      {"2001-10-03T23:30:00-02:00", "0001-01-01T00:00:00+00:01",
       "17: \"modified\" is out of range (years 1601 to 30827)"},
      {"2001-10-03T23:30:00-02:00", "1601-01-01T00:00:00+00:01",
       "17: \"modified\" lies before 1601 in UTC"},
      {"size = 4295098368\n", "", "14: a file has no \"size\""},
      {"'C:\\WINDOWS\\INF\\Rockusb.inf'", "'Rockusb.inf'",
       "20: \"path\" must be a full path such as 'C:\\WINDOWS\\x.dll'"},
      {"INF\\Rockusb.inf", "SYSTEM\\IBFS32.DLL",
       "19: file \"C:\\WINDOWS\\SYSTEM\\IBFS32.DLL\" is listed twice"},
      {"TEMP\\'", "TEMP'", "3: \"temp\" must end in a backslash, as GetTempPathA gives it"},
      {"platform = 1, ", "", "2: [version] has no \"platform\""},
      {"itime = \"1\"", "codepage = 437",
       "4: \"codepage\" is 437, which no Windows 95 to XP had as its ANSI code page (expected "
       "874, 932, 936, 949, 950 or 1250 to 1258)"},
      {"error = 5", "error = 0", "13: \"error\" must be a Win32 error code, not 0"},
      {"[\"040704E4\"]", "[\"0407\"]",
       "18: a translation is 8 hex digits, language then code page, such as \"040904B0\""},
      {"translations", "state = \"broken\", translations",
       "18: \"state\" is \"broken\"; expected absent, unreadable, no-translation or present"},
      {"clock = { now = 2004-11-23T08:05:09-08:00 }\n", "", "1: no [clock] table"},
      {"{ state = \"stop-pending\" }", "{ }", "8: [services.UserPort] has no \"state\""},
      {"registry.reg", "broken.reg",
       FOLDER + "/broken.reg:5: bad dword value, expected dword: and 1 to 8 hex digits: "
                "\"B\"=dword:xyz"},
      // toml++ 3.3 reaches __builtin_unreachable on some characters above U+00A0.
      {"T08:00:00Z",
       "\xCA\xAB"
       "08:00:00Z",
       "22: a byte that is not ASCII (0xCA): machine.toml is ASCII only; texts in other letters go "
       "in a .reg file"},
  };
  for (const auto& c : cases) {
    std::string toml = GOOD_TOML;
    ASSERT_NE(toml.find(c.replace), std::string::npos) << c.replace;
    toml.replace(toml.find(c.replace), c.replace.size(), c.with);
    std::string expected = c.error[0] == '/' ? c.error : "machine.toml:" + c.error;
    EXPECT_EQ(load_error(toml), expected) << c.with;
  }
  SimMachine m;
  std::string error;
  EXPECT_FALSE(load_machine_profile("/nonexistent", &m, &error));
  EXPECT_EQ(error, "/nonexistent/machine.toml:0: cannot read the file");
}

// Lines on which toml++ 3.3 fails its own checks (an abort, or undefined
// behaviour without assertions) are errors on their line.
TEST(ProfileLoader, TomlTheParserTripsOverIsAnError) {
  int count = 0;
  for (const auto& file :
       std::filesystem::directory_iterator(DORVIK_SOURCE_DIR "/tests/data/toml-unreadable")) {
    std::ostringstream line;
    line << std::ifstream(file.path()).rdbuf();
    EXPECT_EQ(load_error(GOOD_TOML + line.str()).rfind("machine.toml:23: ", 0), 0u) << line.str();
    count++;
  }
  EXPECT_GE(count, 7);
}

}  // namespace
