// test_machines.cpp: complete and bare machines of every class.

#include "test_machines.h"

#include <gtest/gtest.h>

#include "host/sim/profile_loader.h"

namespace {

std::string class_profile(OsClass os) {
  switch (os) {
    case OS_WIN95A: return "win95a";
    case OS_WIN95B: return "win95b";
    case OS_WIN98: return "win98";
    case OS_WINME: return "winme";
    case OS_NT351: return "nt351";
    case OS_NT4: return "nt4";
    case OS_WIN2000: return "win2000";
    case OS_WINXP: return "winxp";
    case OS_UNSUPPORTED: return "win2003";
    default: return "other";
  }
}

}  // namespace

SimMachine profile_machine(const std::string& name) {
  SimMachine machine;
  std::string error;
  EXPECT_TRUE(
      load_machine_profile(std::string(DORVIK_SOURCE_DIR) + "/machines/" + name, &machine, &error))
      << error;
  return machine;
}

SimMachine complete_machine(OsClass os) { return profile_machine(class_profile(os) + "-complete"); }

SimMachine bare_machine(OsClass os) { return profile_machine(class_profile(os) + "-empty"); }

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

ProcessValues values_for(Host& host) {
  ProcessValues values;
  capture_program_values(host, &values);
  capture_directories(host, &values);
  return values;
}
