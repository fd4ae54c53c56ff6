// fuzzed_machine.h: a whole simulated machine decoded from fuzzer bytes.
//
// The bytes choose everything a status run can read: the version record,
// the program's path, the Windows and temporary directories, locale texts of
// any bytes, the clock and its offset from UTC, registry keys and values of
// every type and size (texts without their NUL, lists without their final
// NUL, numbers of any width), the driver files with sizes and times at their
// extremes and version resources with odd translation tables, the TMEX
// library's answers and the UserPort service's state. Where a choice is
// made, the usual value, the edge values and arbitrary ones are all on offer,
// so that the fuzzer reaches the well-formed paths as easily as the odd ones.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include "host/sim/sim_machine.h"

SimMachine fuzzed_machine(FuzzedDataProvider& in);
