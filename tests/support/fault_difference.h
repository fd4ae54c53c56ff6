// fault_difference.h: whether a report differs from the clean one only as
// the failure of one host call may make it differ.
//
// The clean report of the same machine is the model: a line may change
// only by a failure text of the checks (failure_texts.h) standing where a
// part of it stood, by its status, or by a section that ends early in one
// failure line. The statuses follow the checks' rules: "(n/r)" never
// changes, what is not found is "(ERR)", a registry block's head takes the
// status that its failed value names, a failed time conversion leaves the
// file unsure, and the UserPort line and the TMEX function line say what
// the failed call answered. The summary keeps its texts.
#pragma once

#include <string>
#include <vector>

#include "host/sim/faulty_host.h"

// Empty when `faulted` is `clean` changed as `call` failing with `fault`
// allows; otherwise what is wrong, with the line number (from 1).
std::string fault_difference(const std::vector<std::string>& clean,
                             const std::vector<std::string>& faulted, const HostCallRecord& call,
                             HostFault fault);
