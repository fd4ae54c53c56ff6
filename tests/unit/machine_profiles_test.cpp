// machine_profiles_test.cpp: every machine in machines/ against its expected report.
//
// Each profile folder carries what Dorvik must report on that machine: the
// log bytes of a "Run w/Log" (expected.log) and the thirteen icons
// (expected-icons.txt), or, for a machine that start-up refuses, the refusal
// (expected-refusal.txt). The run is dorvik-sim's own.

#include <dirent.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/sim/profile_loader.h"
#include "sim_program.h"

namespace {

const std::string MACHINES = std::string(DORVIK_SOURCE_DIR) + "/machines";

std::vector<std::string> profile_names() {
  std::vector<std::string> names;
  if (DIR* dir = opendir(MACHINES.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      std::ifstream toml(MACHINES + "/" + name + "/" + PROFILE_MACHINE_FILE);
      if (name[0] != '.' && toml) names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool read_bytes(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  *out = bytes.str();
  return true;
}

TEST(MachineProfiles, TheLibraryHoldsEveryClassCompleteAndEmpty) {
  std::vector<std::string> names = profile_names();
  for (const char* cls : {"win95a", "win95b", "win98", "winme", "nt351", "nt4", "win2000", "winxp",
                          "other", "win2003"}) {
    for (const char* kind : {"-complete", "-empty"}) {
      std::string name = std::string(cls) + kind;
      EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
    }
  }
}

TEST(MachineProfiles, EveryProfileReportsExactlyItsExpectedReport) {
  std::vector<std::string> names = profile_names();
  ASSERT_FALSE(names.empty()) << MACHINES;
  char pattern[] = "/tmp/dorvik-log-XXXXXX";
  int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  close(fd);
  const std::string log_path = pattern;

  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::string folder = MACHINES + "/" + name;
    SimMachine machine;
    std::string error;
    ASSERT_TRUE(load_machine_profile(folder, &machine, &error)) << error;

    std::remove(log_path.c_str());
    SimProgramResult result;
    run_sim_program(machine, log_path, &result);
    EXPECT_FALSE(result.log_failed) << result.log_message;

    std::string expected_refusal, expected_log, expected_icons, log;
    if (read_bytes(folder + "/expected-refusal.txt", &expected_refusal)) {
      EXPECT_TRUE(result.refused);
      EXPECT_EQ(result.refusal + "\n", expected_refusal);
      EXPECT_FALSE(read_bytes(log_path, &log)) << "a refused start wrote a log";
      continue;
    }
    ASSERT_TRUE(read_bytes(folder + "/expected.log", &expected_log)) << "no expected.log";
    ASSERT_TRUE(read_bytes(folder + "/expected-icons.txt", &expected_icons))
        << "no expected-icons.txt";
    EXPECT_FALSE(result.refused) << result.refusal;
    ASSERT_TRUE(read_bytes(log_path, &log));
    EXPECT_EQ(log, expected_log);
    EXPECT_EQ(group_icons_text(result.icons), expected_icons);
  }
  std::remove(log_path.c_str());
}

}  // namespace
