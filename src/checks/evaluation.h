// evaluation.h: judging driver files and combining statuses into groups.
//
// A driver file is judged on its own (required on the running class? found?
// one of its accepted size and date pairs?). The thirteen driver groups that
// the dialog shows combine slot statuses and five check results.
#pragma once

#include "checks/driver_table.h"

// A size and local date (month-day-year) that a driver file may have.
struct AcceptedPair {
  std::uint32_t size;
  const char* date;
};

// The accepted pairs of a slot's file on a class: the very rows that
// evaluate_driver_file judges by, for readers of the report.
struct AcceptedPairs {
  const AcceptedPair* pairs;
  int count;
};
AcceptedPairs accepted_pairs(int slot_number, OsClass os);

// Sets the slot's status from its probe data and the running class.
void evaluate_driver_file(const RunContext& ctx, DriverFileSlot* slot, int slot_number);

// STATUS_ERR outranks STATUS_UNSURE, which outranks STATUS_AOK; STATUS_NR
// members change nothing, so a group of STATUS_NR members is STATUS_AOK.
DriverStatus combine(DriverStatus a);
DriverStatus combine(DriverStatus a, DriverStatus b);
DriverStatus combine(DriverStatus a, DriverStatus b, DriverStatus c);

// The five check results that feed the groups, each as its check returned it.
struct CheckResults {
  DriverStatus rockey9x_registry;
  DriverStatus tmex_registry;
  DriverStatus ds1410d_registry;
  DriverStatus vdd_registry;
  DriverStatus userport_service;
};

const int GROUP_COUNT = 13;

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
