// userport_check.h: the state of the "UserPort" port-access service.
#pragma once

#include "host/host.h"
#include "report/report_sink.h"
#include "report/status.h"
#include "startup/os_class.h"

// Writes one line. STATUS_NR on Windows 95/98/Me and NT 4, where the service
// manager is not asked.
DriverStatus check_userport_service(Host& host, OsClass os, ReportSink& sink);
