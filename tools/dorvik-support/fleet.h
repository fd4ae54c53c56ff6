// fleet.h: a site's logs as one row per machine, and the causes counted over them.
//
// A row keeps only what the tables show: a site of any size costs one row
// per machine, while the logs themselves are read one at a time and let go.
// Every text in a row is already as shown (UTF-8, control characters and
// stray bytes as \xNN); the CSV and HTML writers only quote and escape it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "findings.h"
#include "log_reader.h"

// A row's result: explain's exit code, 3 for a log that is not a readable report.
const int FLEET_RESULT_COUNT = 4;

struct FleetRow {
  std::string name;  // the machine: its log's file name without the extension
  std::string path;  // the log as found
  std::string os;    // the Windows class's name; empty where the log did not tell
  int result;        // 0 every group AOK, 1 an ERR, 2 unsure, 3 not a readable report
  DriverStatus status[GROUP_COUNT];  // 0 where the report could not be judged
  // The first cause of each group that is ERR or unsure, each cause once, in
  // group order; for a log that is not a readable report, what it is.
  std::vector<std::string> causes;
  std::string detail;  // for a log that is not a readable report: where and why
};

// The row of a log as read and explained.
FleetRow fleet_row(const std::string& path, const LogReading& reading,
                   const Explanation& explanation);
// The row of a file that could not be read at all.
FleetRow unreadable_row(const std::string& path, const std::string& error);

// Machines by result, and by cause: a machine counts once per cause.
struct FleetCounts {
  int machines = 0;
  int by_result[FLEET_RESULT_COUNT] = {};
  std::map<std::string, int> by_cause;
};
void count_row(const FleetRow& row, FleetCounts* counts);

// For standard output: the machines by result, then every cause with its
// number of machines, the most frequent first.
std::string fleet_counts_text(const FleetCounts& counts);

// The spreadsheet: one header line, then one line per row (RFC 4180, CR LF).
std::string fleet_csv_header();
std::string fleet_csv_row(const FleetRow& row);

// One page: the head with the counts, then the rows, then the tail; written
// piece by piece so that the page never stands whole in memory.
std::string fleet_html_head(const FleetCounts& counts);
std::string fleet_html_row(const FleetRow& row);
std::string fleet_html_tail();
