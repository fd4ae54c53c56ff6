// machine_profiles_test.cpp: every machine in machines/ against its expected report.
//
// Each profile folder carries what Dorvik must report on that machine: the
// log bytes of a "Run w/Log" (expected.log) and the thirteen icons
// (expected-icons.txt), or, for a machine that start-up refuses, the refusal
// (expected-refusal.txt). The run is dorvik-sim's own.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "host/sim/profile_loader.h"
#include "sim_program.h"

namespace {

// The file's bytes, or "(missing)" when it cannot be read.
std::string read_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "(missing)";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(MachineProfiles, EveryProfileReportsExactlyItsExpectedReport) {
  std::set<std::filesystem::path> folders;
  for (const auto& entry : std::filesystem::directory_iterator(DORVIK_SOURCE_DIR "/machines"))
    if (std::filesystem::exists(entry.path() / PROFILE_MACHINE_FILE)) folders.insert(entry.path());
  ASSERT_GT(folders.size(), 20u);
  const std::string log_path = ::testing::TempDir() + "dorvik-profile.log";

  for (const std::filesystem::path& folder : folders) {
    SCOPED_TRACE(folder.filename().string());
    SimMachine machine;
    std::string error;
    ASSERT_TRUE(load_machine_profile(folder.string(), &machine, &error)) << error;
    std::remove(log_path.c_str());
    SimProgramResult result;
    run_sim_program(machine, log_path, &result);
    EXPECT_FALSE(result.log_failed) << result.log_message;

    std::string expected_refusal = read_bytes(folder / "expected-refusal.txt");
    if (result.refused || expected_refusal != "(missing)") {
      EXPECT_EQ(result.refusal + "\n", expected_refusal);
      EXPECT_EQ(read_bytes(log_path), "(missing)") << "a refused start wrote a log";
      continue;
    }
    EXPECT_EQ(read_bytes(log_path), read_bytes(folder / "expected.log"));
    EXPECT_EQ(group_icons_text(result.icons), read_bytes(folder / "expected-icons.txt"));
  }
  std::remove(log_path.c_str());
}

}  // namespace
