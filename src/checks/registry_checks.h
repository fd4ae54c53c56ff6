// registry_checks.h: the registry entries that configure the drivers.
//
// Four read-only checks, each of one key below HKEY_LOCAL_MACHINE: a head
// line for the key, one line per value read, and a status. A check that does
// not count on the running class still writes its lines and returns
// STATUS_NR. What each check reads and expects is one row of REGISTRY_CHECKS.
#pragma once

#include <cstdint>

#include "checks/run_context.h"
#include "report/report_sink.h"
#include "report/status.h"
#include "startup/os_class.h"

enum ValueKind {
  VALUE_TEXT,       // read as a text, compared without regard to letter case
  VALUE_NUMBER,     // read as a 32-bit number, compared by equality
  VALUE_PATH_LIST,  // a list of paths: one must end with the Windows directory and a path
};

// One value of a checked key: what is expected, and what each finding adds
// to the value line and makes of the check's status.
struct ValueRule {
  const char* name;
  ValueKind kind;
  const char* expected_text;  // VALUE_TEXT; VALUE_PATH_LIST: the path after the Windows directory
  std::uint32_t expected_numbers[2];  // VALUE_NUMBER: any of the first number_count
  int number_count;
  const char* unreadable_text;  // "Not Found (ERR)," or "Not Found (AOK),"
  DriverStatus unreadable_status;
  const char* expected_suffix;  // VALUE_PATH_LIST: follows the path found, which makes the line
  const char* other_suffix;
  DriverStatus other_status;
};

enum RegistryCheck : int {
  REGISTRY_ROCKEY9X,
  REGISTRY_TMEX,
  REGISTRY_DS1410D,
  REGISTRY_VDD,
  REGISTRY_CHECK_COUNT
};

// One checked key: its path below HKEY_LOCAL_MACHINE, its value rules in
// report order, the width in which the value names are right-aligned (the
// longest name, so that the colons line up) and the classes on which its
// finding counts.
struct KeyCheck {
  RegistryCheck check;
  const char* key;
  const ValueRule* rules;
  int rule_count;
  int name_width;
  OsClassSet counts_on;
};

// One row per check, in report order.
extern const KeyCheck REGISTRY_CHECKS[REGISTRY_CHECK_COUNT];

// Runs one check: opens its key, reads its values and writes its block.
DriverStatus check_registry(const RunContext& ctx, ReportSink& sink, RegistryCheck check);

DriverStatus check_rockey9x_registry(const RunContext& ctx, ReportSink& sink);
DriverStatus check_tmex_registry(const RunContext& ctx, ReportSink& sink);
DriverStatus check_ds1410d_registry(const RunContext& ctx, ReportSink& sink);
DriverStatus check_vdd_registry(const RunContext& ctx, ReportSink& sink);
