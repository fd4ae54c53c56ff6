// profile_loader.h: a machine profile folder into a simulated machine.
//
// A profile is a folder holding machine.toml and the registry files it names
// (see machines/README.md for the format). Loading is all or nothing: the
// profile is read into a fresh machine, which replaces the caller's only
// when every file was read without a fault.
#pragma once

#include <string>

#include "host/sim/sim_machine.h"

const char* const PROFILE_MACHINE_FILE = "machine.toml";

// Loads the profile in `folder`. On a fault returns false with `*error` as
// "FILE:LINE: what is wrong" and leaves `*machine` untouched.
bool load_machine_profile(const std::string& folder, SimMachine* machine, std::string* error);

// The same from machine.toml's text; `folder` is where the registry files
// it names are looked for, `source` names it in error texts.
bool load_machine_profile_text(const std::string& source, const std::string& text,
                               const std::string& folder, SimMachine* machine, std::string* error);
