// The TMEX driver probe against a stand-in library.

#include "checks/tmex_probe.h"

#include <gtest/gtest.h>

#include <functional>

#include "test_machines.h"

namespace {

TEST(ProbeTmexDrivers, JudgesTheLowSixteenBitsOfEachAnswer) {
  const std::string main_line = "(AOK) IBFS32.DLL (Main TMEX Driver) is Present\n";
  const std::string com1 = "(AOK) IB97E32.DLL (COM Port Driver) is Present.\n";
  const std::string lpt = "(AOK) IB10E32.DLL (LPT Port Driver) is Present.\n";
  const std::string com5 = "(AOK) IB97U32.DLL (COM Port Driver) is Present.\n";
  const std::string no_com1 = "(ERR) IB97E32.DLL (COM Port Driver) is not Present.\n";
  const std::string no_lpt = "(ERR) IB10E32.DLL (LPT Port Driver) is not Present.\n";
  const std::string no_com5 = "(ERR) IB97U32.DLL (COM Port Driver) is not Present.\n";
  struct Case {
    std::map<int, std::uint32_t> answers;
    DriverStatus status;
    std::string lines;
  } cases[] = {
      {{{1, 1}, {2, 1}, {5, 1}}, STATUS_AOK, main_line + com1 + lpt + com5},
      {{{1, 1}, {2, 0}, {5, 1}}, STATUS_ERR, main_line + com1 + no_lpt + com5},
      {{{1, 2}, {2, 0xFFFF}, {5, 0xFFFFFFFF}}, STATUS_ERR, main_line + no_com1 + no_lpt + no_com5},
      // Only the low 16 bits answer: upper bits are left-overs in the register.
      {{{1, 0x00010001}, {2, 0xABCD0001}, {5, 0x10000}},
       STATUS_ERR,
       main_line + com1 + lpt + no_com5},
      {{}, STATUS_ERR, main_line + no_com1 + no_lpt + no_com5},
  };
  for (const Case& c : cases) {
    for (OsClass os : {OS_WIN95A, OS_WINXP}) {
      SimMachine m = bare_machine(os);
      m.tmex.present = true;
      m.tmex.answers = c.answers;
      SimHost host(m);
      LineCapture out;
      EXPECT_EQ(probe_tmex_drivers(host, out.sink), c.status);
      EXPECT_EQ(out.text(), c.lines);
      EXPECT_EQ(host.open_handle_count(), 0);
      EXPECT_EQ(host.call_count("call_tm_get_type_version"), 3);
    }
  }
}

TEST(ProbeTmexDrivers, MissingLibraryOrFunction) {
  SimMachine m = bare_machine(OS_WINXP);
  SimHost host(m);
  {
    LineCapture out;
    EXPECT_EQ(probe_tmex_drivers(host, out.sink), STATUS_ERR);
    EXPECT_EQ(out.text(), "(ERR) IBFS32.DLL (Main TMEX Driver) is not Present.\n");
    EXPECT_EQ(host.call_count("free_library"), 0);
  }
  m.tmex.present = true;
  m.tmex.has_function = false;
  LineCapture out;
  EXPECT_EQ(probe_tmex_drivers(host, out.sink), STATUS_ERR);
  EXPECT_EQ(out.text(),
            "(AOK) IBFS32.DLL (Main TMEX Driver) is Present\n"
            " (ERR) GetProcAddress failed with error: 127\n");
  EXPECT_EQ(host.open_handle_count(), 0);
  EXPECT_EQ(host.call_count("free_library"), 1);
}

}  // namespace
