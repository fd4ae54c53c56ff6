// main.cpp: dorvik-sim, Dorvik's status run on a machine profile, on Linux.

#include <cstdio>
#include <cstring>
#include <string>

#include "host/sim/profile_loader.h"
#include "sim_program.h"

namespace {

const char USAGE[] =
    "usage: dorvik-sim PROFILE_DIR [--log FILE] [--icons]\n"
    "       dorvik-sim --help\n";

const char HELP[] =
    "Runs Dorvik's start-up and one status run against the Windows machine that\n"
    "a machine profile describes (a folder with machine.toml and its .reg files,\n"
    "see machines/README.md), and prints the report lines to standard output.\n"
    "\n"
    "  --log FILE  also write the report log, byte for byte as \"Run w/Log\" does\n"
    "  --icons     after the report and an empty line, print the thirteen status\n"
    "              icons: control id, group, and AOK, ERR, ?, or n/r (disabled)\n"
    "  --help      show this text\n"
    "\n"
    "Exit status: 0 after a run; 255 when start-up refuses the machine's Windows\n"
    "version (the refusal \"CAPTION: Unsupported Operating System\" goes to\n"
    "standard output); 1 for a profile that cannot be loaded or a log that cannot\n"
    "be written (the reason goes to standard error); 2 for a usage error.\n";

int usage_error(const std::string& what) {
  std::fprintf(stderr, "dorvik-sim: %s\n%s", what.c_str(), USAGE);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string profile, log_path;
  bool icons = false, have_log = false;
  for (int i = 1; i < argc; i++) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(USAGE, stdout);
      std::fputs(HELP, stdout);
      return 0;
    } else if (arg == "--icons") {
      icons = true;
    } else if (arg == "--log") {
      if (i + 1 >= argc) return usage_error("--log needs a FILE");
      if (have_log) return usage_error("--log given twice");
      log_path = argv[++i];
      have_log = true;
      if (log_path.empty()) return usage_error("--log needs a FILE");
    } else if (!arg.empty() && arg[0] == '-') {
      return usage_error("unknown option " + arg);
    } else if (profile.empty()) {
      profile = arg;
    } else {
      return usage_error("more than one PROFILE_DIR");
    }
  }
  if (profile.empty()) return usage_error("no PROFILE_DIR");

  SimMachine machine;
  std::string error;
  if (!load_machine_profile(profile, &machine, &error)) {
    std::fprintf(stderr, "dorvik-sim: %s\n", error.c_str());
    return 1;
  }

  SimProgramResult result;
  run_sim_program(machine, log_path, &result);
  if (result.refused) {
    std::printf("%s\n", result.refusal.c_str());
    return SIM_EXIT_REFUSED;
  }
  for (const std::string& line : result.lines) std::printf("%s\n", line.c_str());
  if (icons) std::printf("\n%s", group_icons_text(result.icons).c_str());
  if (result.log_failed) {
    std::fprintf(stderr, "dorvik-sim: %s\n", result.log_message.c_str());
    return 1;
  }
  return 0;
}
