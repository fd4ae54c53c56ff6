// report_log.h: the report log that "Run w/Log" writes for support.
//
// The log holds exactly the lines of one run, each followed by carriage
// return and line feed (13, 10), in the ANSI bytes as composed: the file that
// the program's text-mode writer on Windows produces. The bytes are written
// in binary mode with explicit line ends, so every build writes the same file.
#pragma once

#include <cstdio>
#include <string>

struct ReportLog {
  std::FILE* file;
};

// Opens the log for writing: created if missing, emptied if present.
bool open_report_log(ReportLog* log, const std::string& path);

// Writes one line and its line end. A failure is remembered by the stream
// and reported by close_report_log.
void write_report_log_line(ReportLog* log, const std::string& line);

// Closes the log. False when any write or the close itself failed (a full
// disk, say): then the file does not hold the whole report.
bool close_report_log(ReportLog* log);
