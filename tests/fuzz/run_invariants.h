// run_invariants.h: what every status run must keep, checked on one machine.
//
// Start-up's portable steps run on the machine (the locale, the program's
// names, the class, the directories); a machine that start-up refuses ends
// there. Otherwise a "Run w/Log" follows, and then a plain "Run" in which
// the counted host call `fault_pick` picks fails with `fault` (none when the
// pick is 0 or the fault does not apply to that call). The process aborts,
// naming what broke, when the log holds other bytes than the list's lines
// each followed by CR LF, not all thirteen icons were set, a host handle is
// left open or closed when it was not open, or the second report differs
// from the first otherwise than the failed call allows (fault_difference.h).
#pragma once

#include <string>

#include "host/sim/faulty_host.h"
#include "host/sim/sim_machine.h"

// A scratch file of this process in the temporary directory.
std::string scratch_path(const std::string& name);

void check_status_runs(const SimMachine& machine, std::size_t fault_pick = 0,
                       HostFault fault = FAULT_ABSENT);
