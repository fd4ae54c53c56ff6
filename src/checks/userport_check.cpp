// userport_check.cpp: the UserPort service check.

#include "checks/userport_check.h"

#include "checks/failure_texts.h"
#include "report/text.h"

namespace {

struct Finding {
  DriverStatus status;
  const char* message;
};

// Only a running service is in order; every other known state is an error.
Finding finding_for_state(std::uint32_t state) {
  switch (state) {
    case 1: return {STATUS_ERR, "UserPort: Service Stopped."};
    case 2: return {STATUS_ERR, "UserPort: Service Start Pending."};
    case 3: return {STATUS_ERR, "UserPort: Service Stop Pending."};
    case 4: return {STATUS_AOK, "UserPort: Service Running."};
    case 5: return {STATUS_ERR, "UserPort: Service Continue Pending."};
    case 6: return {STATUS_ERR, "UserPort: Service Pause Pending."};
    case 7: return {STATUS_ERR, "UserPort: Service Paused."};
    default: return {STATUS_UNSURE, "UserPort: Status Unknown."};
  }
}

// A lack of rights never counts against the installation: it stays unsure.
Finding query_userport(Host& host) {
  HostHandle manager = NO_HANDLE;
  std::uint32_t error = host.open_service_manager(&manager);
  if (error != HOSTERR_SUCCESS || manager == NO_HANDLE) {
    return {STATUS_UNSURE, error == HOSTERR_ACCESS_DENIED ? USERPORT_DATABASE_DENIED_TEXT
                                                          : USERPORT_NO_DATABASE_TEXT};
  }
  Finding finding;
  HostHandle service = NO_HANDLE;
  error = host.open_service(manager, "UserPort", &service);
  if (error != HOSTERR_SUCCESS || service == NO_HANDLE) {
    if (error == HOSTERR_ACCESS_DENIED)
      finding = {STATUS_UNSURE, USERPORT_SERVICE_DENIED_TEXT};
    else if (error == HOSTERR_SERVICE_DOES_NOT_EXIST)
      finding = {STATUS_ERR, USERPORT_NO_SERVICE_TEXT};
    else
      finding = {STATUS_ERR, USERPORT_NOT_OPENED_TEXT};
  } else {
    std::uint32_t state = 0;
    if (host.query_service_state(service, &state))
      finding = finding_for_state(state);
    else
      finding = {STATUS_UNSURE, USERPORT_NOT_QUERIED_TEXT};
    host.close_service_handle(service);
  }
  host.close_service_handle(manager);
  return finding;
}

}  // namespace

DriverStatus check_userport_service(Host& host, OsClass os, ReportSink& sink) {
  Finding finding;
  if (os_in(WIN9X_CLASSES, os) || os == OS_NT4)
    finding = {STATUS_NR, "UserPort: Not Required."};  // the service manager is not asked
  else
    finding = query_userport(host);
  report_line(sink, format_text("(%s) %s", status_text(finding.status), finding.message));
  return finding.status;
}
