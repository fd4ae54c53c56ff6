// userport_check.cpp: the UserPort service check.

#include "checks/userport_check.h"

DriverStatus check_userport_service(Host& host, OsClass os, ReportSink& sink) {
  (void)host;
  (void)os;
  (void)sink;
  return STATUS_NR;
}
