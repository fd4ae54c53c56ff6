// report_log.cpp: the report log's file.

#include "report/report_log.h"

bool open_report_log(ReportLog* log, const std::string& path) {
  log->file = std::fopen(path.c_str(), "wb");
  return log->file != nullptr;
}

void write_report_log_line(ReportLog* log, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), log->file);
  std::fwrite("\r\n", 1, 2, log->file);
}

bool close_report_log(ReportLog* log) {
  // The last buffered bytes are written here, not left to fclose: Wine's
  // C runtime drops the error of the flush that fclose does itself, which
  // would announce an empty log on a full disk as written.
  bool written = std::fflush(log->file) == 0;
  if (std::ferror(log->file) != 0) written = false;
  if (std::fclose(log->file) != 0) written = false;
  log->file = nullptr;
  return written;
}
