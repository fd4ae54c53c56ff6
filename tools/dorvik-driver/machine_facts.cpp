// machine_facts.cpp: Dorvik's start-up and status run, and what they were told.

#include "machine_facts.h"

#include <windows.h>

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
// applies it now: the local calendar of this moment, less the moment. The
// moment is taken in whole milliseconds, which the calendar holds exactly.
long utc_offset_minutes(Host& host) {
  const std::uint64_t ticks_per_millisecond = 10000;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER utc = {{now.dwLowDateTime, now.dwHighDateTime}};
  utc.QuadPart -= utc.QuadPart % ticks_per_millisecond;
  CalendarTime local;
  if (!host.utc_to_local_calendar(utc.QuadPart, &local)) return 0;
  SYSTEMTIME fields = {local.year, local.month,  local.day_of_week, local.day,
                       local.hour, local.minute, local.second,      local.milliseconds};
  FILETIME shifted;
  if (!SystemTimeToFileTime(&fields, &shifted)) return 0;
  ULARGE_INTEGER local_moment = {{shifted.dwLowDateTime, shifted.dwHighDateTime}};
  return static_cast<long>(static_cast<long long>(local_moment.QuadPart - utc.QuadPart) /
                           static_cast<long long>(60000 * ticks_per_millisecond));
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

  print_line("fact-version", host.version);
  print_line("fact-windows-dir", values.windows_dir);
  print_line("fact-temp-path", host.temp_path());
  for (const std::string& setting : host.locale) print_line("fact-locale", setting);
  print_line("fact-utc-offset", std::to_string(utc_offset_minutes(host)));
  if (!host.service.empty()) print_line("fact-service", host.service);
  if (!host.tmex.empty()) print_line("fact-tmex", host.tmex);
  for (const std::string& line : host.registry) print_line("reg", line);
}
