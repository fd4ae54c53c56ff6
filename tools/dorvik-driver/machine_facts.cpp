// machine_facts.cpp: Dorvik's start-up and status run, and what they were told.

#include "machine_facts.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "checks/status_run.h"
#include "host/win32/win32_host.h"
#include "recording_host.h"
#include "report/memory_status_list.h"
#include "step_output.h"

namespace {

class NoIconPanel : public GroupIconPanel {
 public:
  void show_status_icon(int, DriverStatus) override {}
};

// The local time's offset from UTC as the program's time conversion
// applies it now: the local calendar of this moment, less the moment.
long utc_offset_minutes(Host& host) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER utc = {{now.dwLowDateTime, now.dwHighDateTime}};
  CalendarTime local;
  if (!host.utc_to_local_calendar(utc.QuadPart, &local)) return 0;
  SYSTEMTIME fields = {local.year, local.month,  local.day_of_week, local.day,
                       local.hour, local.minute, local.second,      local.milliseconds};
  FILETIME local_time;
  if (!SystemTimeToFileTime(&fields, &local_time)) return 0;
  ULARGE_INTEGER shifted = {{local_time.dwLowDateTime, local_time.dwHighDateTime}};
  const long long ticks_per_minute = 600000000;
  long long ticks = static_cast<long long>(shifted.QuadPart - utc.QuadPart);
  // The calendar keeps whole milliseconds only: rounding to whole minutes
  // takes out the ticks below a millisecond that it dropped.
  return static_cast<long>((ticks + (ticks < 0 ? -1 : 1) * ticks_per_minute / 2) /
                           ticks_per_minute);
}

std::string reg_quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Every key that opened, and each value read from it as binary data: the
// checks never look at a value's type, only at its bytes.
void print_registry(const RecordingHost& host) {
  for (const RecordedKey& key : host.keys) {
    print_line("reg", "[HKEY_LOCAL_MACHINE\\" + key.path + "]");
    for (const auto& [name, bytes] : key.values) {
      std::string line = (name.empty() ? std::string("@") : reg_quoted(name)) + "=hex:";
      for (std::size_t i = 0; i < bytes.size(); i++) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i ? ",%02x" : "%02x", bytes[i]);
        line += hex;
      }
      print_line("reg", line);
    }
  }
}

void print_service(const ServiceAnswer& service) {
  if (!service.asked) return;
  if (service.manager_error != HOSTERR_SUCCESS)
    print_line("fact-service", "manager-error " + std::to_string(service.manager_error));
  else if (service.service_error != HOSTERR_SUCCESS)
    print_line("fact-service", "open-error " + std::to_string(service.service_error));
  else if (service.state_read)
    print_line("fact-service", "state " + std::to_string(service.state));
  else if (service.service_asked)
    print_line("fact-service", "query-fails");
}

void print_tmex(const TmexAnswer& tmex) {
  if (!tmex.asked) return;
  if (!tmex.loaded) {
    print_line("fact-tmex", "absent");
  } else if (!tmex.has_function) {
    print_line("fact-tmex", "no-function " + std::to_string(tmex.lookup_error));
  } else {
    std::string answers = "answers";
    for (const auto& [type, answer] : tmex.answers)
      answers += " " + std::to_string(type) + "=" + std::to_string(answer);
    print_line("fact-tmex", answers);
  }
}

}  // namespace

void print_machine_facts() {
  Win32Host win32(GetModuleHandleA(nullptr));
  RecordingHost host(win32);
  ProcessValues values;
  capture_program_values(host, &values);
  capture_directories(host, &values);
  if (values.sys_os != OS_UNSUPPORTED) {
    MemoryStatusList list;
    ReportSink sink = {.list = &list, .log = nullptr};
    NoIconPanel icons;
    DriverFileTable table;
    run_status({.host = host, .values = values}, &table, sink, icons);
  }

  const OsVersionRecord& v = host.version;
  print_line("fact-version",
             host.version_read
                 ? std::to_string(v.platform_id) + " " + std::to_string(v.major_version) + " " +
                       std::to_string(v.minor_version) + " " + std::to_string(v.build_number)
                 : "unreadable");
  print_line("fact-windows-dir", values.windows_dir);
  print_line("fact-temp-path", host.temp_path());
  for (const LocaleAnswer& setting : host.locale)
    print_line("fact-locale",
               std::to_string(setting.lctype) + (setting.readable ? " " + setting.text : ""));
  print_line("fact-utc-offset", std::to_string(utc_offset_minutes(host)));
  print_service(host.service);
  print_tmex(host.tmex);
  print_registry(host);
}
