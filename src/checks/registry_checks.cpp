// registry_checks.cpp: the four registry configuration checks.

#include "checks/registry_checks.h"

DriverStatus check_rockey9x_registry(const RunContext& ctx, ReportSink& sink) {
  (void)ctx;
  (void)sink;
  return STATUS_NR;
}
DriverStatus check_tmex_registry(const RunContext& ctx, ReportSink& sink) {
  (void)ctx;
  (void)sink;
  return STATUS_NR;
}
DriverStatus check_ds1410d_registry(const RunContext& ctx, ReportSink& sink) {
  (void)ctx;
  (void)sink;
  return STATUS_NR;
}
DriverStatus check_vdd_registry(const RunContext& ctx, ReportSink& sink) {
  (void)ctx;
  (void)sink;
  return STATUS_NR;
}
