// A second run on the same table, and version resources that a damaged file
// holds. Whole reports of every class are compared byte for byte with the
// expected logs of the machine profiles.

#include "checks/status_run.h"

#include <gtest/gtest.h>

#include "test_machines.h"

namespace {

TEST(StatusRun, ASecondRunReplacesTheFirstReport) {
  SimMachine m = complete_machine(OS_WINXP);
  SimHost host(m);
  CapturedRun run;
  run.run(host);
  std::vector<std::string> first = run.out.list.lines;
  run.run(host);
  EXPECT_EQ(run.out.list.lines, first);
}

// The probe reads no byte past the sub-block or the text that it is given.
TEST(ReadFileVersion, StaysInsideDamagedSubBlocks) {
  const char path[] = "C:\\WINDOWS\\SYSTEM32\\IBFS32.DLL";
  SimMachine m;
  SimVersionInfo& version = sim_add_file(m, path, 1, 0).version;
  version.state = SIM_VERSION_PRESENT;
  version.translations = {0x04E40409};
  version.file_versions["040904E4"] = "3.00";
  SimHost host(m);
  DriverFileSlot slot;
  slot.path = path;

  version.translation_length = 2;  // shorter than one entry
  read_file_version(host, &slot);
  EXPECT_EQ(slot.version, "Code Page N/A");

  version.translation_length = -1;
  version.texts_unterminated = true;
  read_file_version(host, &slot);
  EXPECT_EQ(slot.version, "3.00");
  EXPECT_EQ(host.open_handle_count(), 0);
}

}  // namespace
