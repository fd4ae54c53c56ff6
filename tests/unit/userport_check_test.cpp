// The UserPort service check against a stand-in service manager. The
// machine profiles show a running, a stopped and a missing service, a refused
// manager and the classes that do not need it; these are the other outcomes.

#include "checks/userport_check.h"

#include <gtest/gtest.h>

#include "test_machines.h"

namespace {

SimService service(std::uint32_t state, std::uint32_t open_error = 0, bool query_fails = false) {
  SimService s;
  s.state = state;
  s.open_error = open_error;
  s.query_fails = query_fails;
  return s;
}

TEST(CheckUserportService, EveryOtherStateAndFailure) {
  struct Case {
    SimService service;
    std::uint32_t manager_error;
    DriverStatus status;
    const char* line;
  } cases[] = {
      {service(0), 0, STATUS_UNSURE, "( ? ) UserPort: Status Unknown.\n"},
      {service(4, 0, true), 0, STATUS_UNSURE, "( ? ) UserPort: Unable to query the Service.\n"},
      {service(4, HOSTERR_ACCESS_DENIED), 0, STATUS_UNSURE,
       "( ? ) UserPort: User not authorized to open Service.\n"},
      {service(4, 6), 0, STATUS_ERR, "(ERR) UserPort: Unable to open the Service.\n"},
      {service(4), 1115, STATUS_UNSURE,
       "( ? ) UserPort: Unable to access the Services database!\n"},
  };
  for (const Case& c : cases) {
    SimMachine m;
    m.service_manager_open_error = c.manager_error;
    sim_set_service(m, "UserPort", c.service);
    SimHost host(m);
    LineCapture out;
    EXPECT_EQ(check_userport_service(host, OS_WINXP, out.sink), c.status) << c.line;
    EXPECT_EQ(out.text(), c.line);
    EXPECT_EQ(host.open_handle_count(), 0);
    EXPECT_EQ(host.bad_close_count(), 0);
  }
}

}  // namespace
