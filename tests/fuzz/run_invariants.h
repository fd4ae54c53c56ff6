// run_invariants.h: what every status run must keep, checked on one machine.
//
// Start-up's portable steps run on the machine (the locale, the program's
// names, the class, the directories); a machine that start-up refuses ends
// there. Otherwise a "Run w/Log" and then a plain "Run" follow, and the
// process aborts, naming what broke, when the report leaves its outline, the
// log holds other bytes than the list's lines each followed by CR LF, the
// second report differs from the first, not all thirteen icons were set, or
// a host handle is left open or closed when it was not open.
#pragma once

#include "host/sim/sim_machine.h"

void check_status_runs(const SimMachine& machine);
