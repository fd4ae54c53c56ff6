// The UserPort service check against a stand-in service manager.

#include "checks/userport_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "test_machines.h"

namespace {

struct Outcome {
  DriverStatus status;
  std::string line;
  int manager_opens;
};

Outcome check(OsClass os, std::function<void(SimMachine&)> setup) {
  SimMachine m = bare_machine(os);
  setup(m);
  SimHost host(m);
  LineCapture out;
  Outcome o = {check_userport_service(host, os, out.sink), out.text(),
               host.call_count("open_service_manager")};
  EXPECT_EQ(host.open_handle_count(), 0);
  EXPECT_EQ(host.bad_close_count(), 0);
  return o;
}

std::function<void(SimMachine&)> service(std::uint32_t state, std::uint32_t open_error = 0,
                                         bool query_fails = false) {
  return [=](SimMachine& m) {
    SimService s;
    s.state = state;
    s.open_error = open_error;
    s.query_fails = query_fails;
    sim_set_service(m, "UserPort", s);
  };
}

TEST(CheckUserportService, EveryStateAndEveryFailure) {
  struct Case {
    std::function<void(SimMachine&)> setup;
    DriverStatus status;
    const char* line;
  } cases[] = {
      {service(1), STATUS_ERR, "(ERR) UserPort: Service Stopped.\n"},
      {service(2), STATUS_ERR, "(ERR) UserPort: Service Start Pending.\n"},
      {service(3), STATUS_ERR, "(ERR) UserPort: Service Stop Pending.\n"},
      {service(4), STATUS_AOK, "(AOK) UserPort: Service Running.\n"},
      {service(5), STATUS_ERR, "(ERR) UserPort: Service Continue Pending.\n"},
      {service(6), STATUS_ERR, "(ERR) UserPort: Service Pause Pending.\n"},
      {service(7), STATUS_ERR, "(ERR) UserPort: Service Paused.\n"},
      {service(0), STATUS_UNSURE, "( ? ) UserPort: Status Unknown.\n"},
      {service(8), STATUS_UNSURE, "( ? ) UserPort: Status Unknown.\n"},
      {service(4, 0, true), STATUS_UNSURE, "( ? ) UserPort: Unable to query the Service.\n"},
      {service(4, HOSTERR_ACCESS_DENIED), STATUS_UNSURE,
       "( ? ) UserPort: User not authorized to open Service.\n"},
      {service(4, 6), STATUS_ERR, "(ERR) UserPort: Unable to open the Service.\n"},
      {[](SimMachine&) {}, STATUS_ERR, "(ERR) UserPort: Service does not exist!\n"},
      {[](SimMachine& m) { m.service_manager_open_error = HOSTERR_ACCESS_DENIED; }, STATUS_UNSURE,
       "( ? ) UserPort: User not authorized to access Services database.\n"},
      {[](SimMachine& m) { m.service_manager_open_error = 1115; }, STATUS_UNSURE,
       "( ? ) UserPort: Unable to access the Services database!\n"},
  };
  for (OsClass os : {OS_WIN2000, OS_WINXP, OS_NT351, OS_OTHER_PLATFORM}) {
    for (const Case& c : cases) {
      Outcome o = check(os, c.setup);
      EXPECT_EQ(o.status, c.status) << c.line;
      EXPECT_EQ(o.line, c.line);
      EXPECT_EQ(o.manager_opens, 1);
    }
  }
}

TEST(CheckUserportService, NotRequiredOnWindows9xAndNt4WithoutAskingTheManager) {
  for (OsClass os : {OS_WIN95A, OS_WIN95B, OS_WIN98, OS_WINME, OS_NT4}) {
    Outcome o = check(os, service(4));
    EXPECT_EQ(o.status, STATUS_NR);
    EXPECT_EQ(o.line, "(n/r) UserPort: Not Required.\n");
    EXPECT_EQ(o.manager_opens, 0);
  }
}

}  // namespace
