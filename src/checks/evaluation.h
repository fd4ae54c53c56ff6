// evaluation.h: judging driver files and combining statuses into groups.
//
// A driver file is judged on its own (required on the running class? found?
// one of its accepted size and date pairs?). The thirteen driver groups that
// the dialog shows combine the statuses of their member files and of the
// check results that feed them.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "checks/driver_table.h"

// Sets the slot's status from its probe data, its row and the running class.
void evaluate_driver_file(const RunContext& ctx, DriverFileSlot* slot, DriverSlot which);

// STATUS_ERR outranks STATUS_UNSURE, which outranks STATUS_AOK; STATUS_NR
// members change nothing, so a group of STATUS_NR members is STATUS_AOK.
DriverStatus combine(DriverStatus a, DriverStatus b);

// The check results that feed the groups.
enum CheckResult : int {
  RESULT_ROCKEY9X_REGISTRY,
  RESULT_TMEX_REGISTRY,
  RESULT_DS1410D_REGISTRY,
  RESULT_VDD_REGISTRY,
  RESULT_USERPORT_SERVICE,
  CHECK_RESULT_COUNT
};

// Each check result as its check returned it.
struct CheckResults {
  DriverStatus status[CHECK_RESULT_COUNT];
};

// A set of check results, one bit each.
constexpr std::uint32_t check_results(std::initializer_list<CheckResult> members) {
  std::uint32_t set = 0;
  for (CheckResult r : members) set |= 1u << r;
  return set;
}

// One driver group: its summary line ("%s" takes the status text), the
// classes on which it counts (STATUS_NR elsewhere) and the check results it
// combines with its member files (driver_table.h). A group fed by one check
// result alone passes it on as the check returned it, STATUS_NR included.
struct DriverGroupRow {
  DriverGroup group;
  const char* summary_line;
  OsClassSet counts_on;
  std::uint32_t results;  // check_results(...)
};

// One row per group, in group order.
extern const DriverGroupRow DRIVER_GROUPS[GROUP_COUNT];

// True when `result` feeds `group`.
bool result_in_group(CheckResult result, DriverGroup group);

struct GroupStatuses {
  DriverStatus status[GROUP_COUNT];
};

// The icon control of each group, in group order.
extern const int GROUP_ICON_CONTROLS[GROUP_COUNT];

// The group statuses by the rules for the running class.
GroupStatuses compute_groups(OsClass os, const DriverFileTable& table, const CheckResults& results);

// Computes the groups and writes their thirteen summary lines.
GroupStatuses report_groups(const RunContext& ctx, ReportSink& sink, const DriverFileTable& table,
                            const CheckResults& results);

// Where group statuses are shown: the dialog's icon controls.
class GroupIconPanel {
 public:
  virtual ~GroupIconPanel() {}
  // Shows a status in the icon control of that id, if the dialog has it.
  virtual void show_status_icon(int control_id, DriverStatus status) = 0;
};

void show_group_icons(GroupIconPanel& panel, const GroupStatuses& groups);
