// report_log.h: the report log that "Run w/Log" writes for support.
//
// The log holds exactly the lines of one run, in the ANSI bytes as composed,
// each followed by carriage return and line feed (13, 10). The bytes go out
// in binary mode with these explicit line ends, not through a text-mode
// writer: that would also turn a line feed inside a line (a registry text can
// hold one) into 13, 10, and the log would then show more lines than the
// list. Here the log keeps exactly one line per list line, and every build
// writes the same bytes.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Where the log's bytes go: a file through the C library, or a stand-in
// that a test makes fail.
class LogWriter {
 public:
  virtual ~LogWriter() {}
  // Creates the file, or empties it. False when it cannot be opened.
  virtual bool open(const std::string& path) = 0;
  // False when the bytes were not all taken (a full disk, say).
  virtual bool write(const char* bytes, std::size_t count) = 0;
  // Writes what is still buffered and closes. False when that fails.
  virtual bool close() = 0;
};

// The log file through the C library's buffered output.
class FileLogWriter : public LogWriter {
 public:
  FileLogWriter() = default;
  FileLogWriter(const FileLogWriter&) = delete;
  FileLogWriter& operator=(const FileLogWriter&) = delete;
  ~FileLogWriter() override {
    if (file_) std::fclose(file_);
  }
  bool open(const std::string& path) override;
  bool write(const char* bytes, std::size_t count) override;
  bool close() override;

 private:
  std::FILE* file_ = nullptr;
};

struct ReportLog {
  LogWriter* writer = nullptr;  // the open log's writer
  bool write_failed = false;    // a line was not taken whole
  FileLogWriter file{};         // the writer unless open_report_log is given one
};

// Opens the log for writing through `writer`, or through the log's own file
// when it is null: created if missing, emptied if present.
bool open_report_log(ReportLog* log, const std::string& path, LogWriter* writer = nullptr);

// Writes one line and its line end. A failure is remembered and reported by
// close_report_log, however the later writes go.
void write_report_log_line(ReportLog* log, const std::string& line);

// Closes the log. False when any write or the close itself failed: then the
// file does not hold the whole report.
bool close_report_log(ReportLog* log);
