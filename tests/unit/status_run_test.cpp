// The status run's outline and icons. Whole reports of every class are
// compared byte for byte with the expected logs of the machine profiles.

#include "checks/status_run.h"

#include <gtest/gtest.h>

#include "test_machines.h"

namespace {

TEST(StatusRun, EmptyWindows98ShowsItsErrorsInTheIcons) {
  RunResult r = run_on(bare_machine(OS_WIN98));
  const DriverStatus E = STATUS_ERR, N = STATUS_NR;
  const std::vector<std::pair<int, DriverStatus>> expected = {
      {3053, E}, {3054, E}, {3055, E}, {3056, E}, {3057, E}, {3058, E}, {3059, E},
      {3061, E}, {3062, E}, {3063, E}, {3064, N}, {3065, N}, {3066, N}};
  EXPECT_EQ(r.icons, expected);
}

TEST(StatusRun, EveryRunWritesTheWholeOutlineOnItsOwn) {
  SimMachine m = complete_machine(OS_WINXP);
  SimHost host(m);
  ProcessValues values = values_for(host);
  RunContext ctx = {host, values};
  LineCapture out;
  IconRecorder icons;
  DriverFileTable table;
  run_status(ctx, &table, out.sink, icons);
  std::vector<std::string> first = out.list.lines;
  run_status(ctx, &table, out.sink, icons);
  EXPECT_EQ(out.list.lines, first);  // replaced, not appended
  EXPECT_EQ(out.list.lines.back(), "(AOK) 16-Bit iButton Parallel UserPort Status.");
  EXPECT_EQ(out.list.top_index, out.list.count() - 1);
}

}  // namespace
