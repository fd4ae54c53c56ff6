// status_run_fuzzer.cpp: start-up and whole status runs on a fuzzed machine.
//
// The fuzzer's bytes become a whole simulated machine (fuzzed_machine.h);
// start-up and two runs on it must keep every invariant of run_invariants.h.

#include <cstddef>
#include <cstdint>

#include "fuzzed_machine.h"
#include "run_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  check_status_runs(fuzzed_machine(in));
  return 0;
}
