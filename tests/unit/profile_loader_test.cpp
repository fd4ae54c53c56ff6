// profile_loader_test.cpp: machine.toml into a simulated machine, and its faults.

#include "host/sim/profile_loader.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

namespace {

// A profile folder of its own in the temporary directory, for one test.
class ProfileFolder {
 public:
  ProfileFolder() {
    char pattern[] = "/tmp/dorvik-profile-XXXXXX";
    path = mkdtemp(pattern) ? pattern : "/nonexistent";
  }
  ~ProfileFolder() { std::system(("rm -rf '" + path + "'").c_str()); }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(path + "/" + name, std::ios::binary) << text;
  }
  std::string path;
};

const char GOOD_TOML[] =
    "description = \"test machine\"\n"                                                    // 1
    "[version]\n"                                                                         // 2
    "platform = 1\n"                                                                      // 3
    "major = 4\n"                                                                         // 4
    "minor = 10\n"                                                                        // 5
    "build = 0x040A08AE\n"                                                                // 6
    "[directories]\n"                                                                     // 7
    "windows = 'C:\\WINDOWS'\n"                                                           // 8
    "temp = 'C:\\WINDOWS\\TEMP\\'\n"                                                      // 9
    "[locale]\n"                                                                          // 10
    "sdate = \".\"\n"                                                                     // 11
    "itime = \"1\"\n"                                                                     // 12
    "[clock]\n"                                                                           // 13
    "now = 2004-11-23T08:05:09-08:00\n"                                                   // 14
    "[registry]\n"                                                                        // 15
    "import = [\"registry.reg\"]\n"                                                       // 16
    "[[registry.errors]]\n"                                                               // 17
    "key = 'SOFTWARE\\Denied'\n"                                                          // 18
    "error = 5\n"                                                                         // 19
    "[tmex]\n"                                                                            // 20
    "present = true\n"                                                                    // 21
    "answers = { 1 = 1, 2 = 0, 5 = -1 }\n"                                                // 22
    "[service_manager]\n"                                                                 // 23
    "open_error = 0\n"                                                                    // 24
    "[services.UserPort]\n"                                                               // 25
    "state = \"stop-pending\"\n"                                                          // 26
    "[[file]]\n"                                                                          // 27
    "path = 'C:\\WINDOWS\\SYSTEM\\Ibfs32.dll'\n"                                          // 28
    "size = 4295098368\n"                                                                 // 29
    "modified = 2001-10-03T23:30:00-02:00\n"                                              // 30
    "version = \"3.00\"\n"                                                                // 31
    "[[file]]\n"                                                                          // 32
    "path = 'C:\\WINDOWS\\INF\\Rockusb.inf'\n"                                            // 33
    "directory = true\n"                                                                  // 34
    "modified = 2003-05-02T08:00:00Z\n"                                                   // 35
    "[[file]]\n"                                                                          // 36
    "path = 'C:\\WINDOWS\\SYSTEM\\Ib97u32.dll'\n"                                         // 37
    "size = 1\n"                                                                          // 38
    "modified = 2001-06-18T12:00:00Z\n"                                                   // 39
    "version = { translations = [\"040704E4\"], strings = { \"040704E4\" = \"x\" } }\n";  // 40

const char GOOD_REG[] = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\n\"A\"=dword:1\n";

TEST(ProfileLoader, LoadsEveryPartOfTheMachine) {
  ProfileFolder folder;
  folder.write("machine.toml", GOOD_TOML);
  folder.write("registry.reg", GOOD_REG);
  SimMachine m;
  std::string error;
  ASSERT_TRUE(load_machine_profile(folder.path, &m, &error)) << error;

  EXPECT_EQ(m.version.platform_id, 1u);
  EXPECT_EQ(m.version.minor_version, 10u);
  EXPECT_EQ(m.version.build_number, 0x040A08AEu);
  EXPECT_EQ(m.windows_dir, "C:\\WINDOWS");
  EXPECT_EQ(m.temp_path, "C:\\WINDOWS\\TEMP\\");
  EXPECT_EQ(m.module_path, "C:\\Program Files\\Dorvik\\Dorvik.exe");  // the default
  // Only the settings given can be read.
  EXPECT_EQ(m.locale.size(), 2u);
  EXPECT_EQ(m.locale[LOCALE_ID_SDATE], ".");
  EXPECT_EQ(m.locale[LOCALE_ID_ITIME], "1");
  // Local clock and today's offset; 23 November 2004 was a Tuesday.
  EXPECT_EQ(m.clock.year, 2004);
  EXPECT_EQ(m.clock.hour, 8);
  EXPECT_EQ(m.clock.day_of_week, 2);
  EXPECT_EQ(m.utc_offset_minutes, -480);

  EXPECT_EQ(m.registry.at("software\\test").values.at("a").data.size(), 4u);
  EXPECT_EQ(m.registry.at("software\\denied").open_error, 5u);
  EXPECT_TRUE(m.tmex.present);
  EXPECT_TRUE(m.tmex.has_function);
  EXPECT_EQ(m.tmex.answers.at(2), 0u);
  EXPECT_EQ(m.tmex.answers.at(5), 0xFFFFFFFFu);
  EXPECT_EQ(m.services.at("userport").state, 3u);

  // 23:30 at -02:00 is 01:30 UTC the next day.
  const SimFile& ibfs = m.files.at("c:\\windows\\system\\ibfs32.dll");
  EXPECT_EQ(ibfs.size, 4295098368u);
  EXPECT_EQ(ibfs.last_write_utc, sim_file_time(2001, 10, 4, 1, 30, 0));
  EXPECT_EQ(ibfs.version.state, SIM_VERSION_PRESENT);
  EXPECT_EQ(ibfs.version.translations.at(0), 0x04B00409u);
  EXPECT_EQ(ibfs.version.file_versions.at("040904B0"), "3.00");
  EXPECT_TRUE(m.files.at("c:\\windows\\inf\\rockusb.inf").is_directory);
  EXPECT_EQ(m.files.at("c:\\windows\\system\\ib97u32.dll").version.translations.at(0), 0x04E40407u);
}

struct BrokenProfile {
  std::string replace;  // a line of the good profile ...
  std::string with;     // ... and what stands there instead
  std::string error;    // the message, after "FOLDER/machine.toml:"
};

TEST(ProfileLoader, FaultsNameTheFileTheLineAndWhatAndChangeNothing) {
  const BrokenProfile cases[] = {
      {"minor = 10\n", "minor = = 10\n",
       "5: Error while parsing value: could not determine value type"},
      {"major = 4\n", "major = 4\ncolour = \"beige\"\n",
       "5: unknown key \"colour\" in [version] (known: platform, major, minor, build, readable)"},
      {"description = \"test machine\"\n", "descripton = \"x\"\n",
       "1: unknown key \"descripton\" in machine.toml (known: description, version, directories, "
       "locale, clock, registry, file, tmex, service_manager, services)"},
      {"size = 1\n", "size = 1\nsha1 = \"x\"\n",
       "39: unknown key \"sha1\" in a file (known: path, size, modified, directory, version)"},
      {"platform = 1\n", "platform = \"1\"\n", "3: \"platform\" must be an integer"},
      {"present = true\n", "present = 1\n", "21: \"present\" must be true or false"},
      {"windows = 'C:\\WINDOWS'\n", "windows = ['C:\\WINDOWS']\n",
       "8: \"windows\" must be a text in quotes"},
      {"build = 0x040A08AE\n", "build = 0x1_0000_0000\n",
       "6: \"build\" is 4294967296, out of range (0 to 4294967295)"},
      {"size = 1\n", "size = -1\n", "38: \"size\" is -1, out of range (0 to 9223372036854775807)"},
      {"answers = { 1 = 1, 2 = 0, 5 = -1 }\n", "answers = { 1 = 1, 2 = 0, 5 = 4294967296 }\n",
       "22: answer 4294967296 is out of range (-2147483648 to 4294967295)"},
      {"answers = { 1 = 1, 2 = 0, 5 = -1 }\n", "answers = { one = 1 }\n",
       "22: port type \"one\" must be a number (-32768 to 32767)"},
      {"state = \"stop-pending\"\n", "state = \"halted\"\n",
       "26: \"state\" is \"halted\"; expected stopped, start-pending, stop-pending, running, "
       "continue-pending, pause-pending, paused or a number"},
      {"import = [\"registry.reg\"]\n", "import = [\"registry.reg\", \"missing.reg\"]\n",
       "16: cannot read registry file \"FOLDER/missing.reg\""},
      {"modified = 2003-05-02T08:00:00Z\n", "modified = 2003-05-02T08:00:00\n",
       "35: \"modified\" needs its offset from UTC (Z, or +hh:mm / -hh:mm)"},
      {"modified = 2003-05-02T08:00:00Z\n", "modified = 2003-05-02\n",
       "35: \"modified\" must be a date and time with its offset from UTC, such as "
       "2001-12-10T12:00:00Z"},
      {"modified = 2003-05-02T08:00:00Z\n", "modified = 1066-10-14T09:00:00Z\n",
       "35: \"modified\" is out of range (years 1601 to 30827)"},
      {"size = 1\n", "", "36: a file has no \"size\""},
      {"path = 'C:\\WINDOWS\\INF\\Rockusb.inf'\n", "path = 'Rockusb.inf'\n",
       "33: \"path\" must be a full path such as 'C:\\WINDOWS\\x.dll'"},
      {"path = 'C:\\WINDOWS\\INF\\Rockusb.inf'\n", "path = 'C:\\WINDOWS\\SYSTEM\\IBFS32.DLL'\n",
       "32: file \"C:\\WINDOWS\\SYSTEM\\IBFS32.DLL\" is listed twice"},
      {"temp = 'C:\\WINDOWS\\TEMP\\'\n", "temp = 'C:\\WINDOWS\\TEMP'\n",
       "9: \"temp\" must end in a backslash, as GetTempPathA gives it"},
      {"platform = 1\n", "", "2: [version] has no \"platform\""},
      {"itime = \"1\"\n", "codepage = 437\n",
       "12: \"codepage\" is 437, which no Windows 95 to XP had as its ANSI code page (expected "
       "874, 932, 936, 949, 950 or 1250 to 1258)"},
      {"error = 5\n", "error = 0\n", "19: \"error\" must be a Win32 error code, not 0"},
      {"version = { translations = [\"040704E4\"], strings = { \"040704E4\" = \"x\" } }\n",
       "version = { translations = [\"0407\"] }\n",
       "40: a translation is 8 hex digits, language then code page, such as \"040904B0\""},
      {"version = { translations = [\"040704E4\"], strings = { \"040704E4\" = \"x\" } }\n",
       "version = { state = \"broken\" }\n",
       "40: \"state\" is \"broken\"; expected absent, unreadable, no-translation or present"},
      {"version = { translations = [\"040704E4\"], strings = { \"040704E4\" = \"x\" } }\n",
       "version = 3\n", "40: \"version\" must be a FileVersion text or a table"},
      {"[clock]\nnow = 2004-11-23T08:05:09-08:00\n", "", "1: no [clock] table"},
      {"state = \"stop-pending\"\n", "", "25: [services.UserPort] has no \"state\""},
      // Found by fuzzing: a character above U+00A0 where toml++ looks for
      // white space made it reach __builtin_unreachable.
      {"modified = 2001-06-18T12:00:00Z\n",
       "modified = 2001-06-18\xCA\xAB"
       "12:00:00Z\n",
       "39: a byte that is not ASCII (0xCA): machine.toml is ASCII only; texts in other "
       "letters go in a .reg file"},
      {"windows = 'C:\\WINDOWS'\n", "windows = 'C:\\Zubeh\xC3\xB6r'\n",
       "8: a byte that is not ASCII (0xC3): machine.toml is ASCII only; texts in other letters "
       "go in a .reg file"},
  };
  for (const BrokenProfile& c : cases) {
    ProfileFolder folder;
    std::string toml = GOOD_TOML;
    std::string::size_type at = toml.find(c.replace);
    ASSERT_NE(at, std::string::npos) << c.replace;
    toml.replace(at, c.replace.size(), c.with);
    folder.write("machine.toml", toml);
    folder.write("registry.reg", GOOD_REG);

    SimMachine m;
    m.windows_dir = "untouched";
    std::string error;
    EXPECT_FALSE(load_machine_profile(folder.path, &m, &error)) << c.with;
    std::string expected = c.error;
    for (std::string::size_type f; (f = expected.find("FOLDER")) != std::string::npos;)
      expected.replace(f, 6, folder.path);
    EXPECT_EQ(error, folder.path + "/machine.toml:" + expected) << c.with;
    EXPECT_EQ(m.windows_dir, "untouched") << c.with;
    EXPECT_TRUE(m.registry.empty()) << c.with;
  }
}

TEST(ProfileLoader, RegistryFileFaultsNameTheRegistryFile) {
  ProfileFolder folder;
  folder.write("machine.toml", GOOD_TOML);
  folder.write("registry.reg", std::string(GOOD_REG) + "\"B\"=dword:xyz\n");
  SimMachine m;
  std::string error;
  EXPECT_FALSE(load_machine_profile(folder.path, &m, &error));
  EXPECT_EQ(error, folder.path +
                       "/registry.reg:5: bad dword value, expected dword: and 1 to 8 hex digits: "
                       "\"B\"=dword:xyz");
  EXPECT_TRUE(m.registry.empty());
}

TEST(ProfileLoader, MissingFolderIsAFault) {
  SimMachine m;
  std::string error;
  EXPECT_FALSE(load_machine_profile("/nonexistent/profile", &m, &error));
  EXPECT_EQ(error, "/nonexistent/profile/machine.toml:0: cannot read the file");
}

}  // namespace
