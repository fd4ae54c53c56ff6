// status_run.h: one complete pass of all checks.
//
// Empties the status list, writes the whole report in its fixed order, and
// shows the thirteen group statuses. "Run" and "Run w/Log" perform the very
// same run; the copy of every line in the log lies in the sink.
#pragma once

#include "checks/driver_table.h"
#include "checks/evaluation.h"
#include "checks/run_context.h"
#include "report/report_sink.h"

GroupStatuses run_status(const RunContext& ctx, DriverFileTable* table, ReportSink& sink,
                         GroupIconPanel& icons);
