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
      {"C:\\TOOLS\\TOOL.EXE", "Tool.exe", "Tool"},
      {"C:\\tools\\tool.exe", "Tool.exe", "Tool"},
      {"C:\\x\\tOOL.eXe", "Tool.exe", "Tool"},
      {"C:\\Program Files\\Dorvik\\Dorvik.exe", "Dorvik.exe", "Dorvik"},
      {"C:\\x\\Driverview", "Driverview", "Driver"},  // cut by count, not at a dot
      {"C:\\x\\1st.exe", "1st.exe", "1st"},
      {"C:\\x\\a.exe", "A.exe", "A"},
      // Four characters or fewer: the extension goes if there is a name before it.
      {"C:\\x\\A.EX", "A.ex", "A"},
      {"C:\\x\\DV", "Dv", "Dv"},
      {"C:\\x\\.exe", ".exe", ".exe"},
      {"C:\\x\\", "", ""},
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

TEST(CaptureProgramValues, BuildsTheLogPathInTheTemporaryDirectory) {
  SimMachine m;
  m.module_path = "C:\\TOOLS\\TOOL.EXE";
  m.temp_path = "C:\\WINDOWS\\TEMP\\";
  m.version = {1, 4, 10, 2222};
  SimHost host(m);
  ProcessValues values;
  capture_program_values(host, &values);
  capture_directories(host, &values);
  EXPECT_EQ(values.report_log_path, "C:\\WINDOWS\\TEMP\\Tool.txt");
  EXPECT_EQ(values.windows_dir, "C:\\WINDOWS");
  EXPECT_EQ(values.sys_os, OS_WIN98);
  EXPECT_EQ(program_title(values), " Show Korvane Device Drivers Status (Tool.exe v5.01.015)");

  // A temporary directory of any length gives the whole path.
  m.temp_path = "C:\\" + std::string(300, 'T') + "\\";
  capture_directories(host, &values);
  EXPECT_EQ(values.report_log_path, m.temp_path + "Tool.txt");
}

}  // namespace
