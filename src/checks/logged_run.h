// logged_run.h: "Run w/Log": a status run framed by the report log.
//
// Opens the log at the report log path, performs the status run with the
// log in the sink, closes the log, and says how it went. The message that
// the dialog then shows is composed here too, so that its text and kind
// follow from the outcome alone, whatever the path's length.
#pragma once

#include <string>

#include "checks/status_run.h"

enum LoggedRunOutcome {
  LOGGED_RUN_WRITTEN,     // the log holds the whole report
  LOGGED_RUN_NOT_OPENED,  // the log could not be opened: no run was made
  LOGGED_RUN_NOT_WRITTEN  // the run was made, but a write or the close failed
};

// Performs the run with the log, or no run at all when the log does not open
// (the list and the icons then keep what they showed).
LoggedRunOutcome run_status_with_log(const RunContext& ctx, DriverFileTable* table,
                                     StatusList* list, GroupIconPanel& icons);
// The same, with the log's bytes going through `writer`.
LoggedRunOutcome run_status_with_log(const RunContext& ctx, DriverFileTable* table,
                                     StatusList* list, GroupIconPanel& icons, LogWriter& writer);

enum LogNoticeKind { LOG_NOTICE_INFORMATION, LOG_NOTICE_WARNING };

// The message box that ends a "Run w/Log": its whole text, caption and icon.
struct LogNotice {
  std::string text;
  const char* caption;
  LogNoticeKind kind;
};

LogNotice logged_run_notice(LoggedRunOutcome outcome, const std::string& report_log_path);
