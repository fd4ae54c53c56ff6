// status_run_fuzzer.cpp: start-up and whole status runs on a fuzzed machine.
//
// The fuzzer's bytes pick a host call to fail and the way it fails, and make
// a whole simulated machine of the rest (fuzzed_machine.h); start-up and two
// runs on it must keep every invariant of run_invariants.h.

#include <cstddef>
#include <cstdint>

#include "fuzzed_machine.h"
#include "run_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::size_t fault_pick = in.ConsumeIntegral<std::uint16_t>();
  const auto fault = static_cast<HostFault>(in.ConsumeIntegralInRange(0, HOST_FAULT_KINDS - 1));
  check_status_runs(fuzzed_machine(in), fault_pick, fault);
  return 0;
}
