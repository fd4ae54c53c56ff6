// sim_program.cpp: start-up and the status run against a SimHost.

#include "sim_program.h"

#include "checks/logged_run.h"
#include "host/sim/sim_host.h"
#include "report/memory_status_list.h"

namespace {

// The dialog's icon controls, as a status run leaves them.
class RecordingIconPanel : public GroupIconPanel {
 public:
  void show_status_icon(int control_id, DriverStatus status) override {
    shown[control_id] = status;
  }
  std::map<int, DriverStatus> shown;
};

// Programs, group box and label of each group's icon control, in group order.
const char* const GROUP_ICON_NAMES[GROUP_COUNT] = {
    "32-Bit USB Rockeys Drivers",        "32-Bit Parallel Rockeys Drivers",
    "32-Bit Parallel Rockeys Registry",  "32-Bit Parallel iButtons Drivers",
    "32-Bit Parallel iButtons Registry", "32-Bit Serial iButtons Drivers",
    "32-Bit Serial iButtons Registry",   "16-Bit USB Rockeys Drivers",
    "16-Bit Parallel Rockeys Drivers",   "16-Bit Parallel Rockeys Registry",
    "16-Bit Parallel iButtons Drivers",  "16-Bit Parallel iButtons Registry",
    "16-Bit Parallel iButtons UserPort",
};

const char* icon_status_word(DriverStatus status) {
  switch (status) {
    case STATUS_AOK: return "AOK";
    case STATUS_ERR: return "ERR";
    case STATUS_UNSURE: return "?";
    default: return "n/r";
  }
}

}  // namespace

void run_sim_program(const SimMachine& machine, const std::string& log_path,
                     SimProgramResult* result) {
  *result = SimProgramResult();
  SimHost host(machine);
  ProcessValues values;
  capture_program_values(host, &values);
  if (values.sys_os == OS_UNSUPPORTED) {
    result->refused = true;
    result->refusal = values.program_file_name + " Error Information: Unsupported Operating System";
    return;
  }
  // One copy runs in the simulator: the single-instance guard has nothing to find.
  capture_directories(host, &values);

  MemoryStatusList list;
  RecordingIconPanel icons;
  DriverFileTable& table = result->table;
  if (log_path.empty()) {
    ReportSink sink = {&list, nullptr};
    run_status({host, values}, &table, sink, icons);
  } else {
    // "Run w/Log", with the log at `log_path` in place of the temporary directory's.
    values.report_log_path = log_path;
    LoggedRunOutcome outcome = run_status_with_log({host, values}, &table, &list, icons);
    result->log_failed = outcome != LOGGED_RUN_WRITTEN;
    if (result->log_failed) result->log_message = logged_run_notice(outcome, log_path).text;
  }
  result->lines = list.lines;
  result->icons = icons.shown;
}

std::string group_icons_text(const std::map<int, DriverStatus>& icons) {
  std::string text;
  for (int i = 0; i < GROUP_COUNT; i++) {
    auto it = icons.find(GROUP_ICON_CONTROLS[i]);
    text += std::to_string(GROUP_ICON_CONTROLS[i]) + " " + GROUP_ICON_NAMES[i] + ": " +
            (it == icons.end() ? "not set" : icon_status_word(it->second)) + "\n";
  }
  return text;
}
