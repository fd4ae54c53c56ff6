// registry_keys.h: every registry key that a check opens.
//
// A machine built from a whole-registry export keeps only these keys: no
// report line can come from any other (see apply_reg_file).
#pragma once

#include <string>
#include <vector>

// The keys below HKEY_LOCAL_MACHINE, as the checks name them.
std::vector<std::string> registry_keys_read();
