// main.cpp: dorvik-support, the support desk's reader of Dorvik's report logs.

#include <cstdio>
#include <string>
#include <vector>

#include "diff.h"
#include "explain.h"
#include "file_io.h"
#include "fleet.h"
#include "profile_writer.h"

namespace {

const char USAGE[] =
    "usage: dorvik-support explain LOG [--html FILE]\n"
    "       dorvik-support profile LOG DIR\n"
    "       dorvik-support diff OLD NEW\n"
    "       dorvik-support fleet DIR... [--csv FILE] [--html FILE]\n"
    "       dorvik-support --help\n";

const char HELP[] =
    "Reads report logs that Dorvik's \"Run w/Log\" wrote, as customers send them (CR LF\n"
    "or LF line ends, Windows-1252 or UTF-8), and checks each one by running Dorvik\n"
    "again on the machine the report describes.\n"
    "\n"
    "  explain LOG          the machine, the thirteen groups with what made each one\n"
    "                       ERR or unsure, the likely cause and the remedy, and notes\n"
    "    --html FILE        also write all of it as one page with the dialog's icons\n"
    "  profile LOG DIR      write the machine as a profile (machine.toml, registry.reg)\n"
    "                       on which dorvik-sim writes the same log again\n"
    "  diff OLD NEW         what changed between two reports of one machine\n"
    "  fleet DIR...         a site's logs, one file per machine named after it (folders\n"
    "                       searched recursively): how many machines each cause hits\n"
    "    --csv FILE         one row per machine: its Windows class, the thirteen groups\n"
    "                       and the first cause of each failure, for a spreadsheet\n"
    "    --html FILE        the same rows with the dialog's icons, and the counts\n"
    "\n"
    "Exit status: 0 every required group AOK, 1 a group ERR, 2 no ERR but a group\n"
    "unsure (for diff: of NEW; for fleet: of any machine, and 3 for any log that is\n"
    "not a readable report); 3 not a readable report, or a file that cannot be\n"
    "read or written; 4 for a usage error.\n";

const int EXIT_UNREADABLE = 3;
const int EXIT_USAGE = 4;

int usage_error(const std::string& what) {
  std::fprintf(stderr, "dorvik-support: %s\n%s", what.c_str(), USAGE);
  return EXIT_USAGE;
}

int fail(const std::string& what) {
  std::fprintf(stderr, "dorvik-support: %s\n", what.c_str());
  return EXIT_UNREADABLE;
}

bool read_report(const std::string& path, LogReading* reading, std::string* error) {
  std::string bytes;
  if (!read_whole_file(path, &bytes, error)) return false;
  *reading = read_log(bytes);
  return true;
}

int explain(const std::vector<std::string>& args) {
  std::string log, html;
  for (std::size_t i = 0; i < args.size(); i++) {
    if (args[i] == "--html") {
      if (i + 1 >= args.size()) return usage_error("--html needs a FILE");
      html = args[++i];
    } else if (log.empty()) {
      log = args[i];
    } else {
      return usage_error("explain takes one LOG");
    }
  }
  if (log.empty()) return usage_error("explain needs a LOG");
  LogReading reading;
  std::string error;
  if (!read_report(log, &reading, &error)) return fail(error);
  Explanation e = {};
  if (reading.verdict == LOG_EXACT) e = explain_reading(reading);
  std::fputs(explain_text(log, reading, e).c_str(), stdout);
  if (!html.empty() && !write_whole_file(html, explain_html(log, reading, e), &error))
    return fail(error);
  if (reading.verdict != LOG_EXACT)
    std::fprintf(stderr, "dorvik-support: %s: %s\n", log.c_str(), reading.message.c_str());
  return explain_exit_code(reading, e);
}

int profile(const std::vector<std::string>& args) {
  if (args.size() != 2) return usage_error("profile needs a LOG and a DIR");
  LogReading reading;
  std::string error;
  if (!read_report(args[0], &reading, &error)) return fail(error);
  ProfileFiles files;
  if (!write_profile(reading, args[0], &files, &error)) return fail(args[0] + ": " + error);
  if (!make_directory(args[1], &error) ||
      !write_whole_file(args[1] + "/machine.toml", files.machine_toml, &error) ||
      !write_whole_file(args[1] + "/registry.reg", files.registry_reg, &error))
    return fail(error);
  std::printf("%s: profile written to %s\n", args[0].c_str(), args[1].c_str());
  return explain_exit_code(reading, explain_reading(reading));
}

int diff(const std::vector<std::string>& args) {
  if (args.size() != 2) return usage_error("diff needs OLD and NEW");
  LogReading readings[2];
  Explanation e[2] = {};
  std::string error;
  for (int i = 0; i < 2; i++) {
    if (!read_report(args[i], &readings[i], &error)) return fail(error);
    if (readings[i].verdict != LOG_EXACT) return fail(args[i] + ": " + readings[i].message);
    e[i] = explain_reading(readings[i]);
  }
  std::fputs(diff_text(args[0], readings[0], e[0], args[1], readings[1], e[1]).c_str(), stdout);
  return explain_exit_code(readings[1], e[1]);
}

int fleet(const std::vector<std::string>& args) {
  std::vector<std::string> roots;
  std::string csv, html, error;
  for (std::size_t i = 0; i < args.size(); i++) {
    if (args[i] == "--csv" || args[i] == "--html") {
      if (i + 1 >= args.size()) return usage_error(args[i] + " needs a FILE");
      (args[i] == "--csv" ? csv : html) = args[i + 1];
      i++;
    } else {
      roots.push_back(args[i]);
    }
  }
  if (roots.empty()) return usage_error("fleet needs a DIR");
  std::vector<std::string> paths;
  for (const std::string& root : roots)
    if (!list_files(root, &paths, &error)) return fail(error);
  // One log at a time: only its row stays.
  std::vector<FleetRow> rows;
  FleetCounts counts;
  for (const std::string& path : paths) {
    std::string bytes;
    if (!read_whole_file(path, &bytes, &error)) {
      rows.push_back(unreadable_row(path, error));
    } else {
      LogReading reading = read_log(bytes);
      Explanation e = {};
      if (reading.verdict == LOG_EXACT) e = explain_reading(reading);
      rows.push_back(fleet_row(path, reading, e));
    }
    count_row(rows.back(), &counts);
  }
  std::fputs(fleet_counts_text(counts).c_str(), stdout);
  if (!csv.empty()) {
    OutputFile out;
    if (!out.open(csv, &error)) return fail(error);
    out.write(fleet_csv_header());
    for (const FleetRow& row : rows) out.write(fleet_csv_row(row));
    if (!out.close(&error)) return fail(error);
  }
  if (!html.empty()) {
    OutputFile out;
    if (!out.open(html, &error)) return fail(error);
    out.write(fleet_html_head(counts));
    for (const FleetRow& row : rows) out.write(fleet_html_row(row));
    out.write(fleet_html_tail());
    if (!out.close(&error)) return fail(error);
  }
  if (counts.by_result[3]) return EXIT_UNREADABLE;
  return counts.by_result[1] ? 1 : counts.by_result[2] ? 2 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return usage_error("no command");
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "--help" || command == "-h") {
    std::fputs(USAGE, stdout);
    std::fputs(HELP, stdout);
    return 0;
  }
  if (command == "explain") return explain(args);
  if (command == "profile") return profile(args);
  if (command == "diff") return diff(args);
  if (command == "fleet") return fleet(args);
  return usage_error("unknown command " + command);
}
