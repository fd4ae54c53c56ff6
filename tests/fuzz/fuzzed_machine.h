// fuzzed_machine.h: a machine profile of machines/, changed by fuzzer bytes.
//
// The bytes choose a profile, so that every well-formed and odd machine the
// profiles describe is one step away, and then change its own fields: any
// registry value's bytes, type or read error, a key that cannot be opened,
// a file's size, time, kind or version resource, a file moved or gone, the
// program's path and the directories, the version record, locale texts,
// the clock and its offset from UTC, the TMEX library and the services.
// Numbers are drawn from the edge values as often as from arbitrary ones.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include "host/sim/sim_machine.h"

SimMachine fuzzed_machine(FuzzedDataProvider& in);
