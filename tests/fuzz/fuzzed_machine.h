// fuzzed_machine.h: a whole simulated machine from fuzzer bytes.
//
// The bytes pick a profile of machines/ and change its own fields: registry
// values of any bytes, type and read error, keys that cannot be opened,
// driver files with edge sizes and times, odd version resources or gone,
// the program path and directories, the version record, locale texts, the
// clock and its UTC offset, the TMEX library, the services.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include "host/sim/sim_machine.h"

SimMachine fuzzed_machine(FuzzedDataProvider& in);
