// run_invariants.cpp: start-up and two status runs, with their invariants.

#include "run_invariants.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "checks/status_run.h"
#include "fault_difference.h"
#include "host/sim/sim_host.h"
#include "report/memory_status_list.h"

namespace {

struct IconCount : GroupIconPanel {
  void show_status_icon(int, DriverStatus) override { shown++; }
  int shown = 0;
};

void check(bool holds, const std::string& what, const std::vector<std::string>& lines) {
  if (holds) return;
  std::fprintf(stderr, "invariant violated: %s\n", what.c_str());
  for (const std::string& line : lines) std::fprintf(stderr, "| %s\n", line.c_str());
  std::abort();
}

}  // namespace

std::string scratch_path(const std::string& name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/dorvik-fuzz-" +
         std::to_string(static_cast<long>(getpid())) + "-" + name;
}

void check_status_runs(const SimMachine& machine, std::size_t fault_pick, HostFault fault) {
  SimHost sim(machine);
  FaultyHost host(sim);
  ProcessValues values;
  capture_program_values(host, &values);
  if (values.sys_os == OS_UNSUPPORTED) return;  // start-up refuses to run
  capture_directories(host, &values);
  check(values.report_log_path == machine.temp_path + values.program_name + ".txt",
        "the log path is not the temporary path, the program name and .txt", {});
  RunContext ctx = {host, values};
  DriverFileTable table;

  // "Run w/Log", its counted calls recorded.
  static const std::string log_path = scratch_path("log.txt");
  ReportLog log = {};
  check(open_report_log(&log, log_path), "cannot open the scratch log", {});
  MemoryStatusList list;
  ReportSink sink = {&list, &log};
  IconCount icons;
  run_status(ctx, &table, sink, icons);
  check(close_report_log(&log), "writing the log failed", list.lines);
  check(icons.shown == GROUP_COUNT, "not thirteen icons", list.lines);
  std::string expected_log;
  for (const std::string& line : list.lines) expected_log += line + "\r\n";
  std::ifstream written(log_path, std::ios::binary);
  check(std::string(std::istreambuf_iterator<char>(written), {}) == expected_log,
        "the log differs from the list", list.lines);
  std::remove(log_path.c_str());
  check(sim.open_handle_count() == 0 && sim.bad_close_count() == 0,
        "a host handle is left open, or one was closed that was not open", list.lines);

  // "Run" on the same machine, with the table of the first run.
  const std::vector<HostCallRecord> calls = host.calls();
  const std::size_t n = fault_pick % (calls.size() + 1);
  FaultyHost faulty(sim);
  faulty.fail_call(static_cast<int>(n), fault);
  RunContext again_ctx = {faulty, values};
  MemoryStatusList again;
  ReportSink plain = {&again, nullptr};
  run_status(again_ctx, &table, plain, icons);
  if (faulty.fault_injected()) {
    const HostCallRecord& call = calls[n - 1];
    std::string wrong = fault_difference(list.lines, again.lines, call, fault);
    check(wrong.empty(),
          call.call + " " + call.target + ": " + host_fault_name(fault) + ": " + wrong,
          again.lines);
  } else {
    check(again.lines == list.lines, "a second run reports otherwise", again.lines);
  }
  check(sim.open_handle_count() == 0 && sim.bad_close_count() == 0, "the second run leaves handles",
        again.lines);
}
