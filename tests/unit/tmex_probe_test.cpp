// The TMEX driver probe against a stand-in library. The machine profiles
// show every line of the probe; these cases are the ones they do not hold.

#include "checks/tmex_probe.h"

#include <gtest/gtest.h>

#include "test_machines.h"

namespace {

TEST(ProbeTmexDrivers, JudgesOnlyTheLowSixteenBitsOfEachAnswer) {
  SimMachine m;
  m.tmex.present = true;
  // Upper bits are left-overs in the result register; 0xFFFF is -1, not 1.
  m.tmex.answers = {{1, 0xABCD0001}, {2, 0xFFFF}, {5, 0x10000}};
  SimHost host(m);
  LineCapture out;
  EXPECT_EQ(probe_tmex_drivers(host, out.sink), STATUS_ERR);
  EXPECT_EQ(out.text(),
            "(AOK) IBFS32.DLL (Main TMEX Driver) is Present\n"
            "(AOK) IB97E32.DLL (COM Port Driver) is Present.\n"
            "(ERR) IB10E32.DLL (LPT Port Driver) is not Present.\n"
            "(ERR) IB97U32.DLL (COM Port Driver) is not Present.\n");
  EXPECT_EQ(host.open_handle_count(), 0);
}

// A library whose own dependency is missing must fail to load quietly, not
// stop the run in a system box: the error mode is set for the load and put
// back after it.
TEST(ProbeTmexDrivers, LoadsTheLibraryWithoutSystemErrorBoxes) {
  SimMachine m;
  m.tmex.present = true;
  m.tmex.has_function = false;
  SimHost host(m);
  LineCapture out;
  probe_tmex_drivers(host, out.sink);
  EXPECT_EQ(host.error_mode_at_load(),
            ERROR_MODE_FAIL_CRITICAL_ERRORS | ERROR_MODE_NO_OPEN_FILE_ERROR_BOX);
  EXPECT_EQ(host.error_mode(), 0u);
  EXPECT_EQ(host.open_handle_count(), 0);  // freed, though the function is missing
}

}  // namespace
