// Every counted host call of a run, made to fail in each way it can fail,
// on a fully installed machine of each class: the run completes, every
// handle that was opened is closed, and the report differs from the clean
// run of the same machine only as the failed call allows
// (fault_difference.h).

#include <gtest/gtest.h>

#include "fault_difference.h"
#include "host/sim/faulty_host.h"
#include "test_machines.h"

namespace {

struct FaultRun {
  std::vector<std::string> lines;
  std::vector<HostCallRecord> calls;
  bool injected;
  int open_handles;
  int bad_closes;
};

FaultRun run_with_fault(const SimMachine& machine, int n, HostFault fault) {
  SimHost sim(machine);
  FaultyHost host(sim);
  host.fail_call(n, fault);
  CapturedRun run;
  run.run(host);
  return {run.out.list.lines, host.calls(), host.fault_injected(), sim.open_handle_count(),
          sim.bad_close_count()};
}

class FaultInjection : public ::testing::TestWithParam<OsClass> {};

TEST_P(FaultInjection, EveryCallFailingInEveryWayKeepsTheReportHonest) {
  const SimMachine machine = complete_machine(GetParam());
  const FaultRun clean = run_with_fault(machine, 0, FAULT_ABSENT);
  ASSERT_GT(clean.calls.size(), 50u);

  std::size_t runs = 0;
  for (std::size_t n = 1; n <= clean.calls.size(); n++) {
    const HostCallRecord& call = clean.calls[n - 1];
    for (int k = 0; k < HOST_FAULT_KINDS; k++) {
      const HostFault fault = static_cast<HostFault>(k);
      if (!host_fault_applies(call.call, fault)) continue;
      SCOPED_TRACE("call " + std::to_string(n) + ": " + call.call + " " + call.key_path + " " +
                   call.target + " fails: " + host_fault_name(fault));
      const FaultRun run = run_with_fault(machine, static_cast<int>(n), fault);
      runs++;
      ASSERT_TRUE(run.injected);
      EXPECT_EQ(run.open_handles, 0);
      EXPECT_EQ(run.bad_closes, 0);
      EXPECT_EQ(fault_difference(clean.lines, run.lines, call, fault), "") << joined(run.lines);
      if (HasFailure()) return;  // one broken call tells enough
    }
  }
  EXPECT_GE(runs, clean.calls.size());  // every counted call fails in at least one way
}

INSTANTIATE_TEST_SUITE_P(EveryClass, FaultInjection,
                         ::testing::Values(OS_WIN95A, OS_WIN95B, OS_WIN98, OS_WINME, OS_NT351,
                                           OS_NT4, OS_WIN2000, OS_WINXP, OS_OTHER_PLATFORM));

}  // namespace
