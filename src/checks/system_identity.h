// system_identity.h: the report's operating-system and processor lines.
//
// Support staff read these lines to know exactly which system wrote the
// report: the Windows version as the registry records it (on the NT family
// with service pack and build), the class code, and the processor.
#pragma once

#include <string>

#include "host/host.h"
#include "report/report_sink.h"
#include "startup/os_class.h"

// "Windows Version: ...", and the "Korvane iSysOs: 0x%02X (%s)" line.
// The keys below HKEY_LOCAL_MACHINE that these lines read.
extern const char WIN9X_VERSION_KEY[];
extern const char NT_VERSION_KEY[];
extern const char CPU_KEY[];

void report_os_identity(Host& host, OsClass os, ReportSink& sink);
// Vendor, identifier, name and speed; one line when the key is missing.
void report_cpu_identity(Host& host, ReportSink& sink);

std::string windows_version_text(Host& host, OsClass os);
std::string service_pack_text(Host& host);
std::string build_number_text(Host& host);
