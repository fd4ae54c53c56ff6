// profile_writer.h: a machine read from a log, written as a machine profile.
//
// The profile (machine.toml and registry.reg, the format of machines/) is
// one from which dorvik-sim writes the log again, byte for byte. Facts that
// the report does not show are chosen so that it does, and the profile says
// so in a comment beside each.
#pragma once

#include <string>

#include "log_reader.h"

struct ProfileFiles {
  std::string machine_toml;
  std::string registry_reg;
};

// False, with the reason and the line of the log, for a machine that a
// profile cannot hold (machine.toml is ASCII; its dates run from 1601 to 9999).
bool write_profile(const LogReading& reading, const std::string& log_name, ProfileFiles* out,
                   std::string* error);
