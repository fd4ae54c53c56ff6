// status_run.cpp: the order of the report.

#include "checks/status_run.h"

#include "checks/registry_checks.h"
#include "checks/system_identity.h"
#include "checks/tmex_probe.h"
#include "checks/userport_check.h"

GroupStatuses run_status(const RunContext& ctx, DriverFileTable* table, ReportSink& sink,
                         GroupIconPanel& icons) {
  Host& host = ctx.host;
  const ProcessValues& values = ctx.values;

  sink.list->clear();
  report_line(sink, nullptr);

  // The title format opens with a blank that the window title keeps.
  std::string title = program_title(values);
  strip_leading_spaces(&title);
  report_line(sink, title);
  report_line(sink, nullptr);

  std::string date = local_date_text(host, values.locale);
  std::string time = local_time_text(host, values.locale);
  report_line(sink, "System Date / Time: " + date + " / " + time);
  report_line(sink, nullptr);

  report_os_identity(host, values.sys_os, sink);
  report_line(sink, nullptr);
  report_cpu_identity(host, sink);
  report_line(sink, nullptr);

  for (const DriverFileRow& row : DRIVER_FILES) {
    DriverFileSlot* slot = &table->slots[row.slot];
    probe_driver_file(ctx, slot, row.name, row.family);
    evaluate_driver_file(ctx, slot, row.slot);
    report_driver_file(host, sink, *slot);
  }
  report_line(sink, nullptr);

  CheckResults results = {};
  results.status[RESULT_ROCKEY9X_REGISTRY] = check_rockey9x_registry(ctx, sink);
  report_line(sink, nullptr);
  results.status[RESULT_TMEX_REGISTRY] = check_tmex_registry(ctx, sink);
  report_line(sink, nullptr);
  results.status[RESULT_DS1410D_REGISTRY] = check_ds1410d_registry(ctx, sink);
  report_line(sink, nullptr);
  results.status[RESULT_VDD_REGISTRY] = check_vdd_registry(ctx, sink);
  report_line(sink, nullptr);
  probe_tmex_drivers(host, sink);  // its lines only: no group uses its result
  report_line(sink, nullptr);
  results.status[RESULT_USERPORT_SERVICE] = check_userport_service(host, values.sys_os, sink);
  report_line(sink, nullptr);

  GroupStatuses groups = report_groups(ctx, sink, *table, results);
  show_group_icons(icons, groups);
  return groups;
}
