// as_provisioned.h: the machine that a provisioned Wine prefix really is.
//
// Some facts of a machine are Wine's to decide: the Windows directory, the
// clock, and whatever a prefix cannot be told. The dialog driver reads what
// the prefix offers the program ("facts" and "local-time" steps); these
// replace the profile's, so that the simulated run on the result must give
// the real program's log byte for byte.
#pragma once

#include <string>

#include "host/sim/sim_machine.h"

// Applies the driver's output `driver_output` (its "fact-...", "reg:" and
// "local-time:" lines; the last "local-time:" counts) to `machine`, whose
// program runs as `module_path`: version record, Windows and temporary
// directories, locale, offset from UTC and clock, the registry keys the
// program reads (replacing the profile's registry), the UserPort service,
// the TMEX library's answers, and the files moved to Wine's Windows
// directory. Returns false with `*error` on output it cannot read.
bool apply_wine_facts(const std::string& driver_output, const std::string& module_path,
                      SimMachine* machine, std::string* error);
