// system_identity.cpp: the operating-system and processor lines.

#include "platform/system_identity.h"

void report_os_identity(Host& host, OsClass os, ReportSink& sink) {
  (void)host;
  (void)os;
  (void)sink;
}

void report_cpu_identity(Host& host, ReportSink& sink) {
  (void)host;
  (void)sink;
}

std::string windows_version_text(Host& host, OsClass os) {
  (void)host;
  (void)os;
  return std::string();
}
std::string service_pack_text(Host& host) {
  (void)host;
  return std::string();
}
std::string build_number_text(Host& host) {
  (void)host;
  return std::string();
}
