// main.cpp: dorvik-provision, machine profiles as Wine prefixes and back.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "as_provisioned.h"
#include "host/sim/profile_loader.h"
#include "prefix_files.h"
#include "sim_program.h"
#include "wine_machine.h"

namespace {

const char USAGE[] =
    "usage: dorvik-provision plan PROFILE_DIR PREFIX WORK_DIR\n"
    "       dorvik-provision as-provisioned PROFILE_DIR DRIVER_OUTPUT PROGRAM_PATH LOG [--icons]\n"
    "\n"
    "plan: decides how the machine of PROFILE_DIR is built in the Wine prefix\n"
    "PREFIX and writes to WORK_DIR: machine.reg (the registry import),\n"
    "files.tsv and rc/ (the files, see prefix_files.h) and settings.sh (shell\n"
    "variables: the program's path, the time zone, the UserPort service).\n"
    "Exit status 77, with the reasons on standard output, for a machine that\n"
    "Wine cannot produce.\n"
    "\n"
    "as-provisioned: the status run, as dorvik-sim runs it, on the machine\n"
    "that the prefix really is: the profile with what the dialog driver read\n"
    "in the prefix (DRIVER_OUTPUT) in place of what Wine decides, the program\n"
    "running as PROGRAM_PATH; writes the report log to LOG and prints the\n"
    "report (and with --icons the thirteen icons).\n";

const int EXIT_CANNOT_PRODUCE = 77;

bool load(const std::string& folder, SimMachine* machine) {
  std::string error;
  if (load_machine_profile(folder, machine, &error)) return true;
  std::fprintf(stderr, "dorvik-provision: %s\n", error.c_str());
  return false;
}

bool write_text(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (out) return true;
  std::fprintf(stderr, "dorvik-provision: cannot write %s\n", path.c_str());
  return false;
}

// A value for a shell assignment, in single quotes.
std::string shell_quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

int plan(const std::string& folder, const std::string& prefix, const std::string& work) {
  SimMachine m;
  if (!load(folder, &m)) return 1;
  std::vector<std::string> why = wine_cannot_produce(m);
  if (!why.empty()) {
    for (const std::string& reason : why)
      std::printf("cannot be produced under Wine: %s\n", reason.c_str());
    return EXIT_CANNOT_PRODUCE;
  }
  std::string error;
  if (!write_prefix_files(m, prefix, work, &error)) {
    std::fprintf(stderr, "dorvik-provision: %s\n", error.c_str());
    return 1;
  }
  std::string program = wine_path(m.module_path, m.windows_dir);
  std::string temp = wine_path(m.temp_path, m.windows_dir);
  auto service = m.services.find("userport");
  std::string settings;
  settings += "DORVIK_PROGRAM=" + shell_quoted(program) + "\n";
  settings += "DORVIK_PROGRAM_UNIX=" + shell_quoted(prefix_unix_path(prefix, program)) + "\n";
  settings += "DORVIK_TEMP=" + shell_quoted(temp) + "\n";
  settings += "DORVIK_TEMP_UNIX=" + shell_quoted(prefix_unix_path(prefix, temp)) + "\n";
  settings += "DORVIK_TZ=" + shell_quoted(posix_time_zone(m.utc_offset_minutes)) + "\n";
  settings += "DORVIK_WINDOWS_DIR=" + shell_quoted(m.windows_dir) + "\n";
  settings += std::string("DORVIK_USERPORT=") +
              (service == m.services.end()  ? "absent"
               : service->second.state == 4 ? "running"
                                            : "stopped") +
              "\n";
  return write_text(work + "/machine.reg", wine_registry_file(m)) &&
                 write_text(work + "/settings.sh", settings)
             ? 0
             : 1;
}

int as_provisioned(const std::string& folder, const std::string& driver_output_path,
                   const std::string& program, const std::string& log, bool icons) {
  SimMachine m;
  if (!load(folder, &m)) return 1;
  std::ifstream in(driver_output_path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string error;
  if (!in || !apply_wine_facts(text.str(), program, &m, &error)) {
    std::fprintf(stderr, "dorvik-provision: %s: %s\n", driver_output_path.c_str(),
                 error.empty() ? "cannot read" : error.c_str());
    return 1;
  }
  SimProgramResult result;
  run_sim_program(m, log, &result);
  if (result.refused) {
    std::printf("%s\n", result.refusal.c_str());
    return SIM_EXIT_REFUSED;
  }
  for (const std::string& line : result.lines) std::printf("%s\n", line.c_str());
  if (icons) std::printf("\n%s", group_icons_text(result.icons).c_str());
  return result.log_failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "plan" && argc == 5) return plan(argv[2], argv[3], argv[4]);
  if (command == "as-provisioned" &&
      (argc == 6 || (argc == 7 && std::string(argv[6]) == "--icons")))
    return as_provisioned(argv[2], argv[3], argv[4], argv[5], argc == 7);
  std::fputs(USAGE, command == "--help" ? stdout : stderr);
  return command == "--help" ? 0 : 2;
}
