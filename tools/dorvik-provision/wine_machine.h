// wine_machine.h: how a simulated machine is built as a Wine prefix.
//
// The Wine provisioner's decisions, as pure functions of a SimMachine: can
// Wine produce the machine at all, which Windows version Wine is told, how
// paths below the machine's Windows directory move to Wine's, and the
// registry file that gives the prefix the machine's registry, version,
// locale and temporary directory in one import.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/sim/sim_machine.h"

// Wine's Windows directory: Wine decides it, whatever the machine says.
const char* const WINE_WINDOWS_DIR = "C:\\windows";

// The reasons why Wine cannot produce the machine; empty when it can.
std::vector<std::string> wine_cannot_produce(const SimMachine& machine);

// The "Version" setting of HKCU\Software\Wine for the machine's version
// record; "" for Windows 95B, whose version Wine takes from the registry's
// "VersionNumber" when no setting is made.
std::string wine_version_setting(const OsVersionRecord& version);

// `path` with a leading `windows_dir` (whole path components, any letter
// case) replaced by Wine's Windows directory; other paths unchanged.
std::string wine_path(const std::string& path, const std::string& windows_dir);

// The fixed-offset POSIX time zone for an offset from UTC in minutes
// (local minus UTC): "<+0200>-02:00" for +120. POSIX counts the other way.
std::string posix_time_zone(int utc_offset_minutes);

// The Unix locale (LC_ALL) under which Wine's processes have `code_page` as
// their ANSI code page: "" for the default one (the session's own locale),
// nullptr for one that the Wine runs here cannot have.
const char* wine_unix_locale(int code_page);

// The registry file (Version 5.00, UTF-16LE: under any code page,
// RegQueryValueExA then gives the machine's own bytes) that provisions the
// prefix: it first
// removes what Wine's own registry holds under the keys and values the
// program reads, then adds the machine's keys below HKEY_LOCAL_MACHINE with
// Windows-directory paths moved to Wine's, and sets, for the user, Wine's
// version, the regional date and time settings and TEMP and TMP.
std::string wine_registry_file(const SimMachine& machine);
