// logged_run.cpp: the log's opening and closing around one status run.

#include "checks/logged_run.h"

#include "report/text.h"

LoggedRunOutcome run_status_with_log(const RunContext& ctx, DriverFileTable* table,
                                     StatusList* list, GroupIconPanel& icons) {
  FileLogWriter file;
  return run_status_with_log(ctx, table, list, icons, file);
}

LoggedRunOutcome run_status_with_log(const RunContext& ctx, DriverFileTable* table,
                                     StatusList* list, GroupIconPanel& icons, LogWriter& writer) {
  ReportLog log;
  if (!open_report_log(&log, ctx.values.report_log_path, &writer)) return LOGGED_RUN_NOT_OPENED;
  ReportSink sink = {list, &log};
  run_status(ctx, table, sink, icons);
  // A log that lost a line (a full disk, say) is not the report: it must
  // not be announced as written.
  return close_report_log(&log) ? LOGGED_RUN_WRITTEN : LOGGED_RUN_NOT_WRITTEN;
}

LogNotice logged_run_notice(LoggedRunOutcome outcome, const std::string& report_log_path) {
  const char* path = report_log_path.c_str();
  switch (outcome) {
    case LOGGED_RUN_WRITTEN:
      return {format_text("Log File written to:\n%s", path), "Dorvik Information",
              LOG_NOTICE_INFORMATION};
    case LOGGED_RUN_NOT_OPENED:
      return {format_text("Log File could not be opened for O/P:\n%s", path), "Dorvik Error",
              LOG_NOTICE_WARNING};
    case LOGGED_RUN_NOT_WRITTEN:
    default:
      return {format_text("Log File could not be written to:\n%s", path), "Dorvik Error",
              LOG_NOTICE_WARNING};
  }
}
