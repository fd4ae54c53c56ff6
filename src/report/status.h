// status.h: the status of a check, a driver file or a driver group.
#pragma once

typedef int DriverStatus;

const DriverStatus STATUS_AOK = 1;
const DriverStatus STATUS_ERR = 2;
const DriverStatus STATUS_UNSURE = 3;
const DriverStatus STATUS_NR = 4;  // not required on the running Windows version

// The three-character text that opens a status line: "AOK", "ERR", "n/r",
// and " ? " for STATUS_UNSURE and for every value that is not a status.
const char* status_text(DriverStatus status);
