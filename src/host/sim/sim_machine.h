// sim_machine.h: a Windows machine described as plain data.
//
// Everything Dorvik can read from a machine, each with its failure cases, in
// records that a test fills in a few lines or a machine profile loads from
// files. The simulated host (sim_host.h) answers the Host calls from it.
// Names of registry keys, values, files and services are looked up without
// regard to letter case, as on Windows; texts are in the machine's ANSI code
// page (code_page.h).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/sim/code_page.h"

// Registry value types, as regedit and the registry number them.
const std::uint32_t SIM_REG_NONE = 0;
const std::uint32_t SIM_REG_SZ = 1;
const std::uint32_t SIM_REG_EXPAND_SZ = 2;
const std::uint32_t SIM_REG_BINARY = 3;
const std::uint32_t SIM_REG_DWORD = 4;
const std::uint32_t SIM_REG_MULTI_SZ = 7;

struct SimRegistryValue {
  std::string name;  // as stored; "" is the key's default value
  std::uint32_t type = SIM_REG_SZ;
  std::vector<std::uint8_t> data;
  std::uint32_t read_error = HOSTERR_SUCCESS;  // non-zero: every read fails so
};

struct SimRegistryKey {
  std::string path;                                // below HKEY_LOCAL_MACHINE, as stored
  std::uint32_t open_error = HOSTERR_SUCCESS;      // non-zero: opening fails so
  std::map<std::string, SimRegistryValue> values;  // by folded name
};

// The version resource of a file, in the forms a check can meet.
enum SimVersionState {
  SIM_VERSION_ABSENT,          // no version information: size 0
  SIM_VERSION_UNREADABLE,      // a size, but reading the block fails
  SIM_VERSION_NO_TRANSLATION,  // readable, without "\VarFileInfo\Translation"
  SIM_VERSION_PRESENT          // translations and their FileVersion texts
};

struct SimVersionInfo {
  SimVersionState state = SIM_VERSION_ABSENT;
  // Each entry: language in the low 16 bits, code page in the high 16 bits.
  std::vector<std::uint32_t> translations;
  // FileVersion texts by their "\StringFileInfo" block name, such as
  // "040904E4" (upper-case hexadecimal, language then code page).
  std::map<std::string, std::string> file_versions;
  // A damaged resource can report a translation table shorter than its
  // entries (less than one entry, say): the byte count reported, while the
  // entries' bytes still follow in the block. -1: four bytes per entry.
  int translation_length = -1;
  // Texts stored without their terminating NUL: the length reported counts
  // the characters only, and the block's next bytes follow them.
  bool texts_unterminated = false;
};

struct SimFile {
  std::string path;  // full path, as stored
  std::uint64_t size = 0;
  std::uint64_t last_write_utc = 0;  // file time
  bool is_directory = false;
  SimVersionInfo version;
};

// The TMEX main driver library "IBFS32.DLL".
struct SimTmexLibrary {
  bool present = false;
  bool has_function = true;                             // exports "TMGetTypeVersion"
  std::uint32_t lookup_error = HOSTERR_PROC_NOT_FOUND;  // GetLastError when it does not
  std::map<int, std::uint32_t> answers;  // raw result per port type; 0 where none is set
};

struct SimService {
  std::uint32_t open_error = HOSTERR_SUCCESS;
  bool query_fails = false;
  std::uint32_t state = 1;  // dwCurrentState
};

struct SimMachine {
  int code_page = CODE_PAGE_DEFAULT;  // the ANSI code page of every text below
  bool version_readable = true;
  OsVersionRecord version = {2, 5, 1, 2600};

  std::string module_path = "C:\\Program Files\\Dorvik\\Dorvik.exe";
  std::string windows_dir = "C:\\WINDOWS";
  std::string temp_path = "C:\\WINDOWS\\TEMP\\";

  std::map<std::uint32_t, std::string> locale;  // by LCTYPE; an absent setting fails
  CalendarTime clock = {2026, 10, 1, 5, 21, 7, 3, 0};
  int utc_offset_minutes = 0;  // local time minus UTC, in force now

  std::map<std::string, SimRegistryKey> registry;  // by folded path
  std::map<std::string, SimFile> files;            // by folded path

  SimTmexLibrary tmex;
  std::uint32_t service_manager_open_error = HOSTERR_SUCCESS;
  std::map<std::string, SimService> services;  // by folded name; absent: does not exist
};

// Lower case in the machine's code page, for the case-insensitive keys of
// the maps above.
std::string sim_fold(const std::string& name, int code_page = CODE_PAGE_DEFAULT);

// Builders for tests and the profile loader. Keys and files are created as
// needed; a later call replaces an earlier value of the same name.
SimRegistryKey& sim_add_key(SimMachine& m, const std::string& path);
void sim_set_value(SimMachine& m, const std::string& key_path, const std::string& name,
                   std::uint32_t type, const std::vector<std::uint8_t>& data);
void sim_set_string(SimMachine& m, const std::string& key_path, const std::string& name,
                    const std::string& text);  // REG_SZ with its terminating NUL
void sim_set_dword(SimMachine& m, const std::string& key_path, const std::string& name,
                   std::uint32_t value);
SimFile& sim_add_file(SimMachine& m, const std::string& path, std::uint64_t size,
                      std::uint64_t last_write_utc);
void sim_set_service(SimMachine& m, const std::string& name, const SimService& service);

// The file time of a UTC calendar date and time.
std::uint64_t sim_file_time(int year, int month, int day, int hour = 0, int minute = 0,
                            int second = 0);
