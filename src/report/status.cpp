// status.cpp: the texts of the statuses.

#include "report/status.h"

const char* status_text(DriverStatus status) {
  switch (status) {
    case STATUS_AOK: return "AOK";
    case STATUS_ERR: return "ERR";
    case STATUS_NR: return "n/r";
    default: return " ? ";
  }
}
