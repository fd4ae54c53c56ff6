// report_log.cpp: the report log's lines and its file.

#include "report/report_log.h"

bool FileLogWriter::open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "wb");
  return file_ != nullptr;
}

bool FileLogWriter::write(const char* bytes, std::size_t count) {
  return std::fwrite(bytes, 1, count, file_) == count;
}

bool FileLogWriter::close() {
  // The last buffered bytes are written here, not left to fclose: Wine's
  // C runtime drops the error of the flush that fclose does itself, which
  // would announce an empty log on a full disk as written.
  bool written = std::fflush(file_) == 0;
  if (std::ferror(file_) != 0) written = false;
  if (std::fclose(file_) != 0) written = false;
  file_ = nullptr;
  return written;
}

bool open_report_log(ReportLog* log, const std::string& path, LogWriter* writer) {
  log->writer = writer ? writer : &log->file;
  log->write_failed = false;
  return log->writer->open(path);
}

void write_report_log_line(ReportLog* log, const std::string& line) {
  // A write that fails part way must not be forgotten when the later ones
  // and the final flush succeed: the file then lacks a line.
  if (!log->writer->write(line.data(), line.size()) || !log->writer->write("\r\n", 2))
    log->write_failed = true;
}

bool close_report_log(ReportLog* log) {
  bool closed = log->writer->close();
  return closed && !log->write_failed;
}
