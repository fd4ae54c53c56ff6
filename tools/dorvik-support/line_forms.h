// line_forms.h: the shapes of the report's lines, learned from the program.
//
// The reader must not keep a second copy of the report's texts. It learns
// them instead by running the program's own checks on small probe machines:
// a value holding a marker byte shows where that value stands in its line,
// an absent key shows the line for a missing key, and so on. A line of a
// log is then read as a template filled with the customer's values, and the
// whole report is checked afterwards by running the program again.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "checks/driver_table.h"
#include "checks/evaluation.h"
#include "checks/registry_checks.h"
#include "host/sim/sim_machine.h"

// A line with holes: literal texts around values. lits has one more entry
// than the number of holes.
struct LineTemplate {
  std::vector<std::string> lits;
};

// The values of the holes when `line` fits the template: each literal is
// taken at its first place after the previous value, the last one at the
// end of the line.
bool fill_template(const LineTemplate& t, const std::string& line, std::vector<std::string>* holes);

struct RuleForm {
  std::string name;
  bool is_text = false;
  LineTemplate value;      // label, value, suffix for an unexpected value
  LineTemplate expected;   // the same for an expected one
  std::string unreadable;  // the whole line for a value that cannot be read
};

struct KeyForm {
  std::string key;           // below HKEY_LOCAL_MACHINE
  std::string head_missing;  // after the status: "HKLM\...: Not Found."
  std::string head_found;
  std::vector<RuleForm> rules;
};

struct VddForm {
  KeyForm key;
  std::string unreadable, entry_missing;
  LineTemplate found;  // the line naming the entry: its hole is the Windows directory
};

// A machine setting of the UserPort check and the line it gives.
struct ServiceForm {
  std::string line;  // after the status
  std::uint32_t manager_error;
  bool has_service;
  SimService service;
};

struct LineForms {
  LineTemplate title;                                  // hole: the program's file name
  std::string version_text;                            // the version the title names
  std::map<OsClass, std::string> class_lines;          // the iSysOs line per class
  std::map<OsClass, OsVersionRecord> class_records;    // a version record per class
  LineTemplate version_9x, version_nt, version_other;  // the Windows version line
  std::string cpu_missing;
  LineTemplate cpu_text[3];  // vendor, identifier, name
  std::string cpu_unavailable[4];
  LineTemplate cpu_speed;
  std::string file_missing[DRIVER_SLOT_COUNT];  // after the status
  // A found file, after the status: size, date, shared-use count, version.
  LineTemplate file_found[DRIVER_SLOT_COUNT];
  std::string count_unknown;                                    // the count of a file without one
  std::map<std::string, SimVersionState> version_placeholders;  // "n/a", ... by text
  std::string summary[GROUP_COUNT];                             // the group lines, after the status
  KeyForm rule_keys[REGISTRY_VDD];                              // the checks with value rules
  VddForm vdd;
  std::string tmex_absent, tmex_present;
  LineTemplate tmex_no_function;  // hole: the error code
  std::vector<int> port_types;    // in the order of their lines
  std::vector<std::string> port_present, port_absent;
};

// The forms, learned once.
const LineForms& line_forms();

// The UserPort lines of a class, learned for that class.
std::vector<ServiceForm> service_forms(OsClass os);

// The path at which the program looks for a slot's file.
std::string driver_path(OsClass os, const std::string& windows_dir, int slot);

// The registry keys and values the Windows version line reads on a class,
// in the order of the line's holes.
struct RegistryPlace {
  std::string key, value;
};
std::vector<RegistryPlace> version_places(OsClass os);
// The processor key and its four values: vendor, identifier, name, speed.
std::vector<RegistryPlace> cpu_places();
// The key that holds the shared-use counts.
std::string shared_use_key();
// The VDD list entry that the program looks for under a Windows directory.
std::string vdd_entry_path(const std::string& windows_dir);
