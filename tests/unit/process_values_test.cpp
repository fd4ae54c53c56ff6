// The program's names, derived from its own path, and the log's path.

#include "startup/process_values.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace {

TEST(DeriveProgramNames, CasesTheFileNameAndCutsFourCharacters) {
  struct Case {
    const char* path;
    const char* file_name;
    const char* name;
  } cases[] = {
      {"C:\\x\\tOOL.eXe", "Tool.exe", "Tool"},
      {"C:\\x\\Driverview", "Driverview", "Driver"},  // cut by count, not at a dot
      // Four characters or fewer: the extension goes if there is a name before it.
      {"C:\\x\\A.EX", "A.ex", "A"},
      {"C:\\x\\DV", "Dv", "Dv"},
      {"C:\\x\\.exe", ".exe", ".exe"},
      {"TOOL.EXE", "Tool.exe", "Tool"},  // no backslash: the whole path is the name
  };
  SimMachine m;
  SimHost host(m);
  for (const Case& c : cases) {
    ProgramNames names = derive_program_names(host, c.path);
    EXPECT_EQ(names.program_file_name, c.file_name) << c.path;
    EXPECT_EQ(names.program_name, c.name) << c.path;
  }
}

TEST(DeriveProgramNames, GoesByTheCharactersOfTheCodePage) {
  struct Case {
    int code_page;
    const char* path;
    const char* file_name;
    const char* name;
  } cases[] = {
      // 表 (95 5C): its second byte is no folder separator.
      {932, "C:\\\x95\x5C\\\x95\x5C.EXE", "\x95\x5C.exe", "\x95\x5C"},
      {932, "C:\\x\\\xE0\x5C.EXE", "\xE0\x5C.exe", "\xE0\x5C"},  // 濬: a lead byte from E0 on
      // アプリ (83 41 ...): the first letter is two bytes, the second "A".
      {932, "C:\\x\\\x83\x41\x83\x76\x83\x8A.EXE", "\x83\x41\x83\x76\x83\x8A.exe",
       "\x83\x41\x83\x76\x83\x8A"},
      // Ａｂｃｄ from ＡＢＣＤ (full width); four letters keep their name whole.
      {932, "C:\\x\\\x82\x60\x82\x61\x82\x62\x82\x63", "\x82\x60\x82\x82\x82\x83\x82\x84",
       "\x82\x60\x82\x82\x82\x83\x82\x84"},
      {1251, "C:\\x\\\xC4\xCE\xD0.EXE", "\xC4\xEE\xF0.exe", "\xC4\xEE\xF0"},  // ДОР: Дор
  };
  for (const Case& c : cases) {
    SimMachine m;
    m.code_page = c.code_page;
    SimHost host(m);
    ProgramNames names = derive_program_names(host, c.path);
    EXPECT_EQ(names.program_file_name, c.file_name) << c.path;
    EXPECT_EQ(names.program_name, c.name) << c.path;
  }
}

// The log's path holds a temporary directory of any length whole.
TEST(CaptureDirectories, TheLogPathFollowsTheTemporaryDirectory) {
  SimMachine m;
  m.temp_path = "C:\\" + std::string(300, 'T') + "\\";
  SimHost host(m);
  ProcessValues values;
  values.program_name = "Tool";
  capture_directories(host, &values);
  EXPECT_EQ(values.report_log_path, m.temp_path + "Tool.txt");
}

}  // namespace
