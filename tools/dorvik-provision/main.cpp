// main.cpp: dorvik-provision, machine profiles as Wine prefixes and back.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/dialog_ids.h"
#include "as_provisioned.h"
#include "checks/logged_run.h"
#include "host/sim/profile_loader.h"
#include "host/sim/sim_host.h"
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
    "variables: the program's path, the time zone, the Unix locale that gives\n"
    "Wine the machine's code page, the UserPort service, and what names prints).\n"
    "Exit status 77, with the reasons on standard output, for a machine that\n"
    "Wine cannot produce.\n"
    "\n"
    "as-provisioned: the status run, as dorvik-sim runs it, on the machine\n"
    "that the prefix really is: the profile with what the dialog driver read\n"
    "in the prefix (DRIVER_OUTPUT) in place of what Wine decides, the program\n"
    "running as PROGRAM_PATH (UTF-8, as the shell names it to Wine); writes\n"
    "the report log to LOG and prints the\n"
    "report (and with --icons the thirteen icons).\n"
    "\n"
    "names: as shell variables, what the program shows when it runs as\n"
    "PROGRAM_PATH (by default the profile's program, as provisioned) on the\n"
    "provisioned machine: the dialog's title and button ids, the refusals'\n"
    "caption and texts, the log's name and path, and the box that ends a\n"
    "\"Run w/Log\" for each outcome (caption, icon and text, one a line).\n"
    "What the shell hands to Wine or Unix (the title and caption that the\n"
    "driver looks for, paths, the log's name) is in UTF-8; what the driver\n"
    "prints back (the boxes' texts, the log's path) in the machine's code page.\n";

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

std::string assignment(const char* name, const std::string& value) {
  return std::string(name) + "=" + shell_quoted(value) + "\n";
}

// The box that ends a "Run w/Log", as the dialog driver reads it.
std::string notice_box(LoggedRunOutcome outcome, const std::string& log_path) {
  LogNotice notice = logged_run_notice(outcome, log_path);
  return std::string(notice.caption) + "\n" +
         (notice.kind == LOG_NOTICE_INFORMATION ? "information" : "warning") + "\n" + notice.text;
}

// What the program shows when it runs as `program` (a Wine path in the
// machine's code page) with the temporary directory `temp` on the machine `m`.
std::string program_names(const SimMachine& m, const std::string& program,
                          const std::string& temp) {
  auto unix_text = [&m](const std::string& text) { return code_page_to_utf8(m.code_page, text); };
  SimMachine named = m;
  named.module_path = program;
  SimHost host(named);
  ProcessValues values;
  capture_program_values(host, &values);
  std::string log_path = compose_report_log_path(temp, values.program_name);
  return assignment("DORVIK_TITLE", unix_text(program_title(values))) +
         assignment("DORVIK_RUN", std::to_string(IDC_RUN)) +
         assignment("DORVIK_RUN_WITH_LOG", std::to_string(IDC_RUN_WITH_LOG)) +
         assignment("DORVIK_EXIT", std::to_string(IDC_EXIT)) +
         assignment("DORVIK_REFUSAL_CAPTION", unix_text(refusal_caption(values))) +
         assignment("DORVIK_UNSUPPORTED_OS", UNSUPPORTED_OS_TEXT) +
         assignment("DORVIK_SECOND_COPY", SECOND_COPY_TEXT) +
         assignment("DORVIK_LOG_NAME",
                    unix_text(compose_report_log_path("", values.program_name))) +
         assignment("DORVIK_LOG_PATH", log_path) +
         assignment("DORVIK_LOG_WRITTEN", notice_box(LOGGED_RUN_WRITTEN, log_path)) +
         assignment("DORVIK_LOG_NOT_OPENED", notice_box(LOGGED_RUN_NOT_OPENED, log_path)) +
         assignment("DORVIK_LOG_NOT_WRITTEN", notice_box(LOGGED_RUN_NOT_WRITTEN, log_path));
}

int names(const std::string& folder, const char* program) {
  SimMachine m;
  if (!load(folder, &m)) return 1;
  std::fputs(program_names(m,
                           program ? code_page_from_utf8(m.code_page, program)
                                   : wine_path(m.module_path, m.windows_dir),
                           wine_path(m.temp_path, m.windows_dir))
                 .c_str(),
             stdout);
  return 0;
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
  std::string settings =
      assignment("DORVIK_PROGRAM", code_page_to_utf8(m.code_page, program)) +
      assignment("DORVIK_PROGRAM_UNIX", prefix_unix_path(prefix, program, m.code_page)) +
      assignment("DORVIK_TEMP", code_page_to_utf8(m.code_page, temp)) +
      assignment("DORVIK_TEMP_UNIX", prefix_unix_path(prefix, temp, m.code_page)) +
      assignment("DORVIK_TZ", posix_time_zone(m.utc_offset_minutes)) +
      assignment("DORVIK_LOCALE", wine_unix_locale(m.code_page)) +
      assignment("DORVIK_WINDOWS_DIR", m.windows_dir) +
      assignment("DORVIK_USERPORT", service == m.services.end()  ? "absent"
                                    : service->second.state == 4 ? "running"
                                                                 : "stopped") +
      program_names(m, program, temp);
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
  if (!in || !apply_wine_facts(text.str(), code_page_from_utf8(m.code_page, program), &m, &error)) {
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
  if (command == "names" && (argc == 3 || argc == 4))
    return names(argv[2], argc == 4 ? argv[3] : nullptr);
  if (command == "plan" && argc == 5) return plan(argv[2], argv[3], argv[4]);
  if (command == "as-provisioned" &&
      (argc == 6 || (argc == 7 && std::string(argv[6]) == "--icons")))
    return as_provisioned(argv[2], argv[3], argv[4], argv[5], argc == 7);
  std::fputs(USAGE, command == "--help" ? stdout : stderr);
  return command == "--help" ? 0 : 2;
}
