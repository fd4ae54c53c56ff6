// report_sink.h: the one place that report lines go.
//
// A status run hands every finished line to report_line, which appends it
// to the status list (the dialog's list box, or a list in memory) and, during
// a "Run w/Log", to the report log. Nothing else adds lines to the list or
// writes to the log.
#pragma once

#include <string>

#include "report/report_log.h"

// The list at most keeps this many lines; older ones are dropped first.
const int REPORT_LIST_MAX_LINES = 1100;

// The status list as report_line uses it: an unsorted list box.
class StatusList {
 public:
  virtual ~StatusList() {}
  virtual int count() = 0;
  virtual void delete_first() = 0;
  // Inserts a copy of `line` at `index`; at count() it appends.
  virtual void insert(int index, const std::string& line) = 0;
  // Scrolls so that line `index` is the top visible one, or as near as it can.
  virtual void set_top_index(int index) = 0;
  virtual void clear() = 0;
};

// The status list and the report log, which is null outside a "Run w/Log".
struct ReportSink {
  StatusList* list;
  ReportLog* log;
};

// Appends one line. A null text is a line of one blank, so that an empty
// report line still shows, and is stored, as " ".
void report_line(ReportSink& sink, const char* text);
void report_line(ReportSink& sink, const std::string& text);

// Removes the blanks (code 32 only) at the start of `text`.
void strip_leading_spaces(std::string* text);
