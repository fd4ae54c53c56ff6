// evaluation.cpp: judging driver files, and the thirteen driver groups.

#include "checks/evaluation.h"

#include "app/dialog_ids.h"
#include "report/text.h"

constexpr DriverGroupRow DRIVER_GROUPS[GROUP_COUNT] = {
    {.group = GROUP_32_ROCKEY_USB_DRIVER,
     .summary_line = "(%s) 32-Bit Rockey USB Driver Status.",
     .counts_on = USB_CLASSES,
     .results = 0},
    {.group = GROUP_32_ROCKEY_PARALLEL_DRIVER,
     .summary_line = "(%s) 32-Bit Rockey Parallel Driver Status.",
     .counts_on = EVERY_CLASS,
     .results = 0},
    {.group = GROUP_32_ROCKEY_PARALLEL_REGISTRY,
     .summary_line = "(%s) 32-Bit Rockey Parallel Registry Status.",
     .counts_on = EVERY_CLASS,
     .results = check_results({RESULT_ROCKEY9X_REGISTRY})},
    {.group = GROUP_32_IBUTTON_PARALLEL_DRIVER,
     .summary_line = "(%s) 32-Bit iButton Parallel Driver Status.",
     .counts_on = EVERY_CLASS,
     .results = 0},
    // The DS1410D result is STATUS_NR, and changes nothing, off Windows NT.
    {.group = GROUP_32_IBUTTON_PARALLEL_REGISTRY,
     .summary_line = "(%s) 32-Bit iButton Parallel Registry Status.",
     .counts_on = EVERY_CLASS,
     .results = check_results({RESULT_DS1410D_REGISTRY, RESULT_TMEX_REGISTRY})},
    {.group = GROUP_32_IBUTTON_SERIAL_DRIVER,
     .summary_line = "(%s) 32-Bit iButton Serial Driver Status.",
     .counts_on = EVERY_CLASS,
     .results = 0},
    {.group = GROUP_32_IBUTTON_SERIAL_REGISTRY,
     .summary_line = "(%s) 32-Bit iButton Serial Registry Status.",
     .counts_on = EVERY_CLASS,
     .results = check_results({RESULT_TMEX_REGISTRY})},
    {.group = GROUP_16_ROCKEY_USB_DRIVER,
     .summary_line = "(%s) 16-Bit Rockey USB Driver Status.",
     .counts_on = USB_CLASSES,
     .results = 0},
    {.group = GROUP_16_ROCKEY_PARALLEL_DRIVER,
     .summary_line = "(%s) 16-Bit Rockey Parallel Driver Status.",
     .counts_on = EVERY_CLASS,
     .results = 0},
    {.group = GROUP_16_ROCKEY_PARALLEL_REGISTRY,
     .summary_line = "(%s) 16-Bit Rockey Parallel Registry Status.",
     .counts_on = EVERY_CLASS,
     .results = check_results({RESULT_ROCKEY9X_REGISTRY})},
    {.group = GROUP_16_IBUTTON_PARALLEL_DRIVER,
     .summary_line = "(%s) 16-Bit iButton Parallel Driver Status.",
     .counts_on = os_classes_except(WIN9X_CLASSES),
     .results = 0},
    {.group = GROUP_16_IBUTTON_PARALLEL_REGISTRY,
     .summary_line = "(%s) 16-Bit iButton Parallel Registry Status.",
     .counts_on = os_classes({OS_NT4}),
     .results = check_results({RESULT_VDD_REGISTRY})},
    {.group = GROUP_16_IBUTTON_USERPORT,
     .summary_line = "(%s) 16-Bit iButton Parallel UserPort Status.",
     .counts_on = EVERY_CLASS,
     .results = check_results({RESULT_USERPORT_SERVICE})},
};

namespace {

// A row left out, or one out of group order, stops the build.
constexpr bool rows_in_group_order() {
  for (int i = 0; i < GROUP_COUNT; i++)
    if (DRIVER_GROUPS[i].group != i || DRIVER_GROUPS[i].summary_line == nullptr) return false;
  return true;
}
static_assert(rows_in_group_order(), "DRIVER_GROUPS holds one row per group, in group order");
static_assert(CHECK_RESULT_COUNT <= 32, "a set of check results is one 32-bit word");

}  // namespace

const int GROUP_ICON_CONTROLS[GROUP_COUNT] = {IDC_ICON_32_USB_DRIVERS,
                                              IDC_ICON_32_PAR_ROCKEY_DRIVERS,
                                              IDC_ICON_32_PAR_ROCKEY_REGISTRY,
                                              IDC_ICON_32_PAR_IBUTTON_DRIVERS,
                                              IDC_ICON_32_PAR_IBUTTON_REGISTRY,
                                              IDC_ICON_32_SER_IBUTTON_DRIVERS,
                                              IDC_ICON_32_SER_IBUTTON_REGISTRY,
                                              IDC_ICON_16_USB_DRIVERS,
                                              IDC_ICON_16_PAR_ROCKEY_DRIVERS,
                                              IDC_ICON_16_PAR_ROCKEY_REGISTRY,
                                              IDC_ICON_16_PAR_IBUTTON_DRIVERS,
                                              IDC_ICON_16_PAR_IBUTTON_REGISTRY,
                                              IDC_ICON_16_USERPORT};

bool result_in_group(CheckResult result, DriverGroup group) {
  return (DRIVER_GROUPS[group].results >> result & 1) != 0;
}

void evaluate_driver_file(const RunContext& ctx, DriverFileSlot* slot, DriverSlot which) {
  const OsClass os = ctx.values.sys_os;
  if (!file_required(which, os)) {
    slot->status = STATUS_NR;
    return;
  }
  if (!slot->found) {
    slot->status = STATUS_ERR;
    return;
  }
  // A time that cannot be converted leaves the date empty, which matches no pair.
  std::string date, time;
  file_time_texts(ctx.host, slot->last_write, &date, &time);
  slot->status = STATUS_UNSURE;
  for (const AcceptedPair& pair : DRIVER_FILES[which].accepted)
    if (pair_accepted_on(pair, os) && slot->size == pair.size && date == pair.date)
      slot->status = STATUS_AOK;
}

DriverStatus combine(DriverStatus a, DriverStatus b) {
  if (a == STATUS_ERR || b == STATUS_ERR) return STATUS_ERR;
  if (a == STATUS_UNSURE || b == STATUS_UNSURE) return STATUS_UNSURE;
  return STATUS_AOK;
}

namespace {

DriverStatus group_status(const DriverGroupRow& row, OsClass os, const DriverFileTable& table,
                          const CheckResults& r) {
  if (!os_in(row.counts_on, os)) return STATUS_NR;
  DriverStatus status = STATUS_AOK;
  int files = 0, results = 0;
  for (int slot = 0; slot < DRIVER_SLOT_COUNT; slot++) {
    if (!file_in_group(DriverSlot(slot), row.group, os)) continue;
    status = combine(status, table.slots[slot].status);
    files++;
  }
  DriverStatus result_status = STATUS_AOK;
  for (int result = 0; result < CHECK_RESULT_COUNT; result++) {
    if (!result_in_group(CheckResult(result), row.group)) continue;
    result_status = r.status[result];
    status = combine(status, result_status);
    results++;
  }
  // One check result alone is passed on as its check returned it.
  return files == 0 && results == 1 ? result_status : status;
}

}  // namespace

GroupStatuses compute_groups(OsClass os, const DriverFileTable& table, const CheckResults& r) {
  GroupStatuses g;
  for (const DriverGroupRow& row : DRIVER_GROUPS)
    g.status[row.group] = group_status(row, os, table, r);
  return g;
}

GroupStatuses report_groups(const RunContext& ctx, ReportSink& sink, const DriverFileTable& table,
                            const CheckResults& results) {
  GroupStatuses groups = compute_groups(ctx.values.sys_os, table, results);
  for (const DriverGroupRow& row : DRIVER_GROUPS)
    report_line(sink, format_text(row.summary_line, status_text(groups.status[row.group])));
  return groups;
}

void show_group_icons(GroupIconPanel& panel, const GroupStatuses& groups) {
  for (int i = 0; i < GROUP_COUNT; i++)
    panel.show_status_icon(GROUP_ICON_CONTROLS[i], groups.status[i]);
}
