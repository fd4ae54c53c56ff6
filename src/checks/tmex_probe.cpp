// tmex_probe.cpp: the TMEX driver probe.

#include "checks/tmex_probe.h"

#include <algorithm>
#include <vector>

#include "checks/failure_texts.h"
#include "report/text.h"

namespace {

struct PortType {
  std::int16_t type;
  const char* present_line;
  const char* absent_line;
};

const PortType PORT_TYPES[] = {
    {1, "(AOK) IB97E32.DLL (COM Port Driver) is Present.",
     "(ERR) IB97E32.DLL (COM Port Driver) is not Present."},
    {2, "(AOK) IB10E32.DLL (LPT Port Driver) is Present.",
     "(ERR) IB10E32.DLL (LPT Port Driver) is not Present."},
    {5, "(AOK) IB97U32.DLL (COM Port Driver) is Present.",
     "(ERR) IB97U32.DLL (COM Port Driver) is not Present."},
};

// TMGetTypeVersion writes a version text of no fixed size into the buffer it
// is given; the buffer is zeroed and generous, and its text is never shown.
const std::size_t TYPE_VERSION_BUFFER_SIZE = 512;

// The function answers in the low 16 bits of its result, a signed number;
// 1 means the port type's driver is present.
bool driver_present(std::uint32_t raw_result) {
  return static_cast<std::int16_t>(raw_result & 0xFFFF) == 1;
}

}  // namespace

DriverStatus probe_tmex_drivers(Host& host, ReportSink& sink) {
  // A partly installed TMEX (the main library there, a library it needs
  // missing) is a machine this program is for. Without this error mode
  // Windows 95 to XP stop the load in a system box until the user clicks it
  // away; with it the load just fails and the report says "not Present".
  // The mode is set for this load only: every other call of the program
  // keeps the platform's usual behaviour.
  std::uint32_t previous_mode =
      host.set_error_mode(ERROR_MODE_FAIL_CRITICAL_ERRORS | ERROR_MODE_NO_OPEN_FILE_ERROR_BOX);
  HostHandle library = host.load_library("IBFS32.DLL");
  host.set_error_mode(previous_mode);
  if (library == NO_HANDLE) {
    report_line(sink, format_text("(%s) %s", status_text(STATUS_ERR), TMEX_MISSING_TEXT));
    return STATUS_ERR;
  }
  report_line(sink, "(AOK) IBFS32.DLL (Main TMEX Driver) is Present");

  DriverStatus status = STATUS_AOK;
  std::uint32_t error = 0;
  HostHandle function = host.find_function(library, "TMGetTypeVersion", &error);
  if (function == NO_HANDLE) {
    report_line(sink, format_text(TMEX_NO_FUNCTION_FORMAT, error));
    status = STATUS_ERR;
  } else {
    std::vector<char> buffer(TYPE_VERSION_BUFFER_SIZE);
    for (const PortType& port : PORT_TYPES) {
      std::fill(buffer.begin(), buffer.end(), '\0');
      if (driver_present(
              host.call_tm_get_type_version(function, port.type, buffer.data(), buffer.size()))) {
        report_line(sink, port.present_line);
      } else {
        report_line(sink, port.absent_line);
        status = STATUS_ERR;
      }
    }
  }
  host.free_library(library);
  return status;
}
