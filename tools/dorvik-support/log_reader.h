// log_reader.h: a customer's report log read back into the machine it describes.
//
// The reader rebuilds, from the lines of a log, the simulated machine on
// which Dorvik writes exactly this report: the Windows version and class,
// the locale and the clock, the driver files, the registry values, the TMEX
// library's answers and the UserPort service. It then runs the program on
// that machine and compares the two reports line by line. Identical means
// the machine is right, and every explanation can be taken from the
// program's own evaluation; a difference names the first line that differs.
//
// One log at a time: the reading holds that log's lines and machine only,
// so a caller that reads many logs keeps only what it takes from each.
#pragma once

#include <string>
#include <vector>

#include "date_line.h"
#include "host/sim/sim_machine.h"
#include "sim_program.h"

enum LogVerdict {
  LOG_EXACT,            // the program writes this report on the machine read
  LOG_NOT_REPORT,       // not a Dorvik report at all
  LOG_UNKNOWN_VERSION,  // a Dorvik report from a version whose texts are not known
  LOG_CUT_OFF,          // the report stops part way
  LOG_EDITED            // a line Dorvik does not write there, or lines that contradict
};

// What the report tells beyond the machine itself, and what it cannot tell.
struct ReadFacts {
  std::string program_file_name;
  std::string other_version;  // LOG_UNKNOWN_VERSION: the version the title names
  OsClass os = OS_UNSUPPORTED;
  std::vector<std::string> version_parts;  // the Windows version line's values, in order
  bool date_time_read = false;
  DateTimeReading date_time = {};
  bool windows_dir_shown = false;        // a found VDD entry names the Windows directory
  bool unconvertible_file_time = false;  // a file's date could not be converted
  // Where the findings stand: indices into the report's lines (-1: not read).
  int file_line[DRIVER_SLOT_COUNT] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  int key_line[4] = {-1, -1, -1, -1};  // Rockey9x, TMEX, DS1410D, VDD head lines
  int tmex_line = -1, userport_line = -1, group_line = -1;
  bool cpu_key = false;
  std::string cpu[3];  // vendor, identifier, name as shown
};

struct LogReading {
  LogVerdict verdict = LOG_NOT_REPORT;
  int line = 0;         // the file's line that the verdict names
  std::string message;  // one sentence, naming the line
  const char* encoding = "";
  const char* line_ends = "";
  std::vector<std::string> lines;  // the report's lines as read, Windows-1252
  std::vector<int> numbers;        // each one's line number in the file (0: added)
  int lines_read = 0;              // report lines read before the end or a fault
  SimMachine machine;
  ReadFacts facts;
  SimProgramResult run;  // the program's run on the machine read
};

LogReading read_log(const std::string& bytes);

// The line number in the file of report line `index`, for messages.
int file_line(const LogReading& reading, long index);
