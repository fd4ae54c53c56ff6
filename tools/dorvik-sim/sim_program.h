// sim_program.h: Dorvik's start-up and one status run on a simulated machine.
//
// What dorvik-sim does, as a library, so that the tests run every machine
// profile through the very same steps: start-up's checks (an unsupported
// Windows version is refused), one "Run" or "Run w/Log", and the thirteen
// group statuses as the dialog's icons would show them.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "checks/evaluation.h"
#include "host/sim/sim_machine.h"

// dorvik-sim's exit status when start-up refuses to run (the program's -1).
const int SIM_EXIT_REFUSED = 255;

struct SimProgramResult {
  bool refused = false;
  std::string refusal;                // "CAPTION: TEXT" of the refusal's message box
  bool log_failed = false;            // the log could not be opened or not be written whole
  std::string log_message;            // the program's warning about it, as its message box shows it
  std::vector<std::string> lines;     // the status list after the run
  DriverFileTable table;              // the driver files as the run probed and judged them
  std::map<int, DriverStatus> icons;  // what each icon control was set to, by control id
};

// Runs start-up and one status run. With a non-empty `log_path` the run is a
// "Run w/Log" whose log goes to that file (in place of the temporary
// directory's), made and reported as the program makes it: an unopenable
// log means no run.
void run_sim_program(const SimMachine& machine, const std::string& log_path,
                     SimProgramResult* result);

// The thirteen icon controls, one line each: control id, programs, group
// box and label, and what the run set: "3053 32-Bit USB Rockeys Drivers: AOK".
// AOK is the check mark, ERR the X mark, "?" the question mark, n/r a
// disabled control with no image, and "not set" a control the run missed.
std::string group_icons_text(const std::map<int, DriverStatus>& icons);
