// status.h: the status of a check, a driver file or a driver group.
#pragma once

// The values are the ones the report has always used; a slot not yet judged
// holds 0, which is no status.
enum DriverStatus : int {
  STATUS_AOK = 1,
  STATUS_ERR = 2,
  STATUS_UNSURE = 3,
  STATUS_NR = 4,  // not required on the running Windows version
};

// The three-character text that opens a status line: "AOK", "ERR", "n/r",
// and " ? " for STATUS_UNSURE and for every value that is not a status.
const char* status_text(DriverStatus status);
