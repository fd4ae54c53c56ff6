// tmex_probe.h: asking the installed TMEX main driver about its port drivers.
#pragma once

#include "host/host.h"
#include "report/report_sink.h"
#include "report/status.h"

// Loads "IBFS32.DLL" and asks "TMGetTypeVersion" for port types 1, 2 and 5.
// STATUS_AOK or STATUS_ERR; the same on every class.
DriverStatus probe_tmex_drivers(Host& host, ReportSink& sink);
