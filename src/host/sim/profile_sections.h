// profile_sections.h: the readers of machine.toml's sections.
//
// Each reads its section of the parsed file into `l.machine` and returns
// false with the error set at the first fault. A section that may be left
// out leaves the machine's defaults; one that must be there is a fault when
// it is not.
#pragma once

#include "host/sim/profile_toml.h"

// profile_system.cpp: [version] (required), [directories] (required),
// [locale], [clock] (required).
bool load_version(const Loader& l, const toml::table& root);
bool load_directories(const Loader& l, const toml::table& root);
bool load_locale(const Loader& l, const toml::table& root);
bool load_clock(const Loader& l, const toml::table& root);

// profile_registry.cpp: [registry]: the .reg files imported, and
// [[registry.errors]].
bool load_registry(const Loader& l, const toml::table& root);

// profile_files.cpp: [[file]], with each file's version resource.
bool load_files(const Loader& l, const toml::table& root);

// profile_tmex.cpp: [tmex], the TMEX library and its answers.
bool load_tmex(const Loader& l, const toml::table& root);

// profile_services.cpp: [service_manager] and [services.NAME].
bool load_services(const Loader& l, const toml::table& root);

// The bytes of the file at `path`; false when it cannot be read.
bool read_file_bytes(const std::string& path, std::string* out);
