// registry_checks.h: the registry entries that configure the drivers.
//
// Four read-only checks, each of one key below HKEY_LOCAL_MACHINE: a head
// line for the key, one line per value read, and a status. A check that does
// not count on the running class still writes its lines and returns
// STATUS_NR.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "checks/run_context.h"
#include "report/report_sink.h"
#include "report/status.h"

// The registry checks as readers of the report need them: each check's key
// and name width, and each value rule with what it expects. The checks above
// judge by these very rules.
enum RegistryValueKind { REGISTRY_VALUE_TEXT, REGISTRY_VALUE_NUMBER };

struct RegistryRuleFacts {
  const char* name;
  RegistryValueKind kind;
  const char* expected_text;              // REGISTRY_VALUE_TEXT, letter case aside
  const std::uint32_t* expected_numbers;  // REGISTRY_VALUE_NUMBER: any of these
  int number_count;
  const char* unreadable_text;  // what the line shows when the value cannot be read
  DriverStatus unreadable_status;
  DriverStatus other_status;  // the status of an unexpected value
};

struct RegistryCheckFacts {
  const char* key;  // below HKEY_LOCAL_MACHINE
  int name_width;
  std::vector<RegistryRuleFacts> rules;
};

// The three checks with value rules, in report order: Rockey9x, TMEX, DS1410D.
const int RULE_CHECK_COUNT = 3;
RegistryCheckFacts registry_check_facts(int check);
// The VDD check's key, and the list entry it looks for under a Windows directory.
const char* vdd_registry_key();
std::string vdd_target_path(const std::string& windows_dir);

DriverStatus check_rockey9x_registry(const RunContext& ctx, ReportSink& sink);
DriverStatus check_tmex_registry(const RunContext& ctx, ReportSink& sink);
DriverStatus check_ds1410d_registry(const RunContext& ctx, ReportSink& sink);
DriverStatus check_vdd_registry(const RunContext& ctx, ReportSink& sink);
