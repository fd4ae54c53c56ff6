// test_machines.h: simulated machines that the unit tests start from.
#pragma once

#include <string>
#include <vector>

#include "checks/status_run.h"
#include "host/sim/sim_host.h"
#include "report/memory_status_list.h"

// The machine of the profile machines/NAME; a profile that does not load
// fails the test.
SimMachine profile_machine(const std::string& name);

// The profile of the class with every driver file, registry entry, the TMEX
// library and the UserPort service as the checks expect them on that class
// (OS_UNSUPPORTED is Windows Server 2003).
SimMachine complete_machine(OsClass os);

// The profile of the class with no driver file, no driver registry entry, no
// TMEX library and no UserPort service: only Windows itself.
SimMachine bare_machine(OsClass os);

// Records the icons a run shows.
class IconRecorder : public GroupIconPanel {
 public:
  void show_status_icon(int control_id, DriverStatus status) override {
    shown.push_back({control_id, status});
  }
  std::vector<std::pair<int, DriverStatus>> shown;
};

// The lines joined with "\n" after each, for comparing whole reports.
std::string joined(const std::vector<std::string>& lines);

// A sink whose lines a test reads back.
struct LineCapture {
  MemoryStatusList list;
  ReportSink sink = {&list, nullptr};
  std::string text() const { return joined(list.lines); }
};

// The values start-up captures on a machine of the given class.
ProcessValues values_for(Host& host);

// Status runs on one table, as start-up would begin them, the lines and
// icons of the latest one kept.
struct CapturedRun {
  LineCapture out;
  IconRecorder icons;
  DriverFileTable table;
  void run(Host& host) {
    ProcessValues values = values_for(host);
    RunContext ctx = {host, values};
    run_status(ctx, &table, out.sink, icons);
  }
};
