// status_run_fuzzer.cpp: start-up and whole status runs on a fuzzed machine.
//
// The fuzzer's bytes pick a host call to fail and the way it fails, then a
// machine profile of machines/, so that every well-formed and odd machine
// the profiles describe is one step away, and then change the profile's own
// fields: any registry value's bytes, type or read error, a key that cannot
// be opened, a file's size, time, kind or version resource, a file gone,
// the program's path and the directories, the version record, locale
// texts, the clock and its offset from UTC, the TMEX library and the
// services. Numbers come from the edge values as often as not. Start-up
// and two runs on the machine must keep every invariant of
// run_invariants.h.

#include "fuzzed_machine.h"
#include "run_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::size_t fault_pick = in.ConsumeIntegral<std::uint16_t>();
  const auto fault = static_cast<HostFault>(in.ConsumeIntegralInRange(0, HOST_FAULT_KINDS - 1));
  check_status_runs(fuzzed_machine(in), fault_pick, fault);
  return 0;
}
