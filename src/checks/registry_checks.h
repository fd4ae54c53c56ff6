// registry_checks.h: the registry entries that configure the drivers.
//
// Four read-only checks, each of one key below HKEY_LOCAL_MACHINE: a head
// line for the key, one line per value read, and a status. A check that does
// not count on the running class still writes its lines and returns
// STATUS_NR.
#pragma once

#include "checks/run_context.h"
#include "report/report_sink.h"
#include "report/status.h"

DriverStatus check_rockey9x_registry(const RunContext& ctx, ReportSink& sink);
DriverStatus check_tmex_registry(const RunContext& ctx, ReportSink& sink);
DriverStatus check_ds1410d_registry(const RunContext& ctx, ReportSink& sink);
DriverStatus check_vdd_registry(const RunContext& ctx, ReportSink& sink);
