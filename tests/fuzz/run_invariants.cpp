// run_invariants.cpp: start-up and two status runs, with their invariants.

#include "run_invariants.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "checks/status_run.h"
#include "fault_difference.h"
#include "host/sim/sim_host.h"
#include "report/memory_status_list.h"

namespace {

class IconCount : public GroupIconPanel {
 public:
  void show_status_icon(int, DriverStatus) override { shown++; }
  int shown = 0;
};

[[noreturn]] void violation(const std::string& what, const std::vector<std::string>& lines) {
  std::fprintf(stderr, "invariant violated: %s\n", what.c_str());
  for (const std::string& line : lines) std::fprintf(stderr, "| %s\n", line.c_str());
  std::abort();
}

// The scratch file of this process that stands in for the report log. It
// is never destroyed, so that the exit handler that removes it can use it.
const std::string& log_path() {
  static const std::string* path = [] {
    const char* dir = std::getenv("TMPDIR");
    std::string* p = new std::string(std::string(dir && *dir ? dir : "/tmp") + "/dorvik-fuzz-log-" +
                                     std::to_string(static_cast<long>(getpid())) + ".txt");
    std::atexit([] { std::remove(log_path().c_str()); });
    return p;
  }();
  return *path;
}

std::string file_bytes(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return "(cannot read the log back)";
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  std::fclose(file);
  return bytes;
}

}  // namespace

void check_status_runs(const SimMachine& machine, std::size_t fault_pick, HostFault fault) {
  SimHost sim(machine);
  FaultyHost host(sim);
  ProcessValues values;
  capture_program_values(host, &values);
  if (values.sys_os == OS_UNSUPPORTED) return;  // start-up refuses to run
  capture_directories(host, &values);
  if (values.report_log_path != machine.temp_path + values.program_name + ".txt")
    violation("the log path is not the temporary path, the program name and .txt", {});
  RunContext ctx = {host, values};
  DriverFileTable table;

  // "Run w/Log", its counted calls recorded.
  ReportLog log = {};
  if (!open_report_log(&log, log_path())) violation("cannot open the scratch log", {});
  MemoryStatusList list;
  ReportSink sink = {&list, &log};
  IconCount icons;
  run_status(ctx, &table, sink, icons);
  if (!close_report_log(&log)) violation("writing the log failed", list.lines);
  if (icons.shown != GROUP_COUNT) violation("not thirteen icons", list.lines);
  std::string expected_log;
  for (const std::string& line : list.lines) expected_log += line + "\r\n";
  if (file_bytes(log_path()) != expected_log)
    violation("the log differs from the list", list.lines);
  if (sim.open_handle_count() != 0) violation("a host handle is left open", list.lines);
  if (sim.bad_close_count() != 0) violation("a handle was closed that was not open", list.lines);

  // "Run" on the same machine, with the table of the first run.
  const std::vector<HostCallRecord> calls = host.calls();
  const std::size_t n = fault_pick % (calls.size() + 1);
  FaultyHost faulty(sim);
  faulty.fail_call(static_cast<int>(n), fault);
  RunContext again_ctx = {faulty, values};
  MemoryStatusList again;
  ReportSink plain = {&again, nullptr};
  run_status(again_ctx, &table, plain, icons);
  if (!faulty.fault_injected() && again.lines != list.lines)
    violation("a second run reports otherwise", again.lines);
  if (faulty.fault_injected()) {
    std::string wrong = fault_difference(list.lines, again.lines, calls[n - 1], fault);
    if (!wrong.empty())
      violation(calls[n - 1].call + " " + calls[n - 1].target + " failing (" +
                    host_fault_name(fault) + "): " + wrong,
                again.lines);
  }
  if (sim.open_handle_count() != 0 || sim.bad_close_count() != 0)
    violation("the second run leaves handles", again.lines);
}
