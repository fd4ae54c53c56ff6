// report_sink.cpp: appending a line to the status list and the log.

#include "report/report_sink.h"

void report_line(ReportSink& sink, const char* text) {
  const std::string line = text ? text : " ";
  // The log comes first, so a line is in the file even if the list refuses it.
  if (sink.log) write_report_log_line(sink.log, line);

  int n = sink.list->count();
  if (n == REPORT_LIST_MAX_LINES) {
    sink.list->delete_first();
    n = REPORT_LIST_MAX_LINES - 1;
  }
  sink.list->insert(n, line);
  sink.list->set_top_index(n);  // the newest line is always in view
}

void report_line(ReportSink& sink, const std::string& text) { report_line(sink, text.c_str()); }

void strip_leading_spaces(std::string* text) {
  std::string::size_type first = text->find_first_not_of(' ');
  text->erase(0, first == std::string::npos ? text->size() : first);
}
