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
