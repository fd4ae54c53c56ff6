#include "checks/logged_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "host/sim/sim_host.h"
#include "report/memory_status_list.h"

namespace {

// Counts the icons that a run shows, so a test can tell whether a run happened.
class CountingIconPanel : public GroupIconPanel {
 public:
  void show_status_icon(int, DriverStatus) override { shown++; }
  int shown = 0;
};

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class LoggedRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/dorvik-logged-run-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory_ = pattern;
    list_.lines = {"line of an earlier run"};
  }
  void TearDown() override {
    std::remove((directory_ + "/Dorvik.txt").c_str());
    rmdir(directory_.c_str());
  }

  LoggedRunOutcome run(const std::string& log_path) {
    values_.report_log_path = log_path;
    values_.program_file_name = "Dorvik.exe";
    values_.sys_os = OS_WINXP;
    RunContext ctx = {host_, values_};
    return run_status_with_log(ctx, &table_, &list_, icons_);
  }

  std::string directory_;
  SimMachine machine_;
  SimHost host_{machine_};
  ProcessValues values_;
  DriverFileTable table_;
  MemoryStatusList list_;
  CountingIconPanel icons_;
};

TEST_F(LoggedRunTest, WritesEveryListLineWithCrLfAndClosesTheLog) {
  std::string path = directory_ + "/Dorvik.txt";
  EXPECT_EQ(run(path), LOGGED_RUN_WRITTEN);

  std::string expected;
  for (const std::string& line : list_.lines) expected += line + "\r\n";
  EXPECT_GT(list_.lines.size(), 10u);
  EXPECT_EQ(read_file(path), expected);
  EXPECT_EQ(icons_.shown, GROUP_COUNT);
  EXPECT_EQ(host_.open_handle_count(), 0);
}

TEST_F(LoggedRunTest, ALogThatDoesNotOpenMeansNoRunAtAll) {
  EXPECT_EQ(run(directory_ + "/missing/Dorvik.txt"), LOGGED_RUN_NOT_OPENED);
  EXPECT_EQ(list_.lines, std::vector<std::string>{"line of an earlier run"});
  EXPECT_EQ(icons_.shown, 0);
}

TEST_F(LoggedRunTest, AFullDiskIsNotReportedAsAWrittenLog) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
  // Every write to /dev/full fails with "no space left on device".
  EXPECT_EQ(run("/dev/full"), LOGGED_RUN_NOT_WRITTEN);
  EXPECT_EQ(icons_.shown, GROUP_COUNT);  // the run itself was made and shown
}

TEST(LoggedRunNotice, SaysWhatHappenedWithTheWholePath) {
  const std::string long_path =
      "C:\\Documents and Settings\\" + std::string(200, 'x') + "\\Local Settings\\Temp\\Dorvik.txt";
  struct Case {
    LoggedRunOutcome outcome;
    const char* text_start;
    const char* caption;
    LogNoticeKind kind;
  };
  const Case cases[] = {
      {LOGGED_RUN_WRITTEN, "Log File written to:\n", "Dorvik Information", LOG_NOTICE_INFORMATION},
      {LOGGED_RUN_NOT_OPENED, "Log File could not be opened for O/P:\n", "Dorvik Error",
       LOG_NOTICE_WARNING},
      {LOGGED_RUN_NOT_WRITTEN, "Log File could not be written to:\n", "Dorvik Error",
       LOG_NOTICE_WARNING},
  };
  for (const Case& c : cases) {
    for (const std::string& path : {std::string("C:\\WINDOWS\\TEMP\\Dorvik.txt"), long_path}) {
      LogNotice notice = logged_run_notice(c.outcome, path);
      EXPECT_EQ(notice.text, c.text_start + path);
      EXPECT_STREQ(notice.caption, c.caption);
      EXPECT_EQ(notice.kind, c.kind);
    }
  }
}

TEST(StartupTexts, TitleAndLogPathHoldLongNamesWhole) {
  SimMachine machine;
  machine.module_path = "C:\\Tools\\" + std::string(60, 'D') + ".EXE";
  machine.temp_path = "C:\\" + std::string(150, 't') + "\\";
  SimHost host(machine);
  ProcessValues values;
  capture_program_values(host, &values);
  capture_directories(host, &values);

  std::string file = "D" + std::string(59, 'd') + ".exe";
  EXPECT_EQ(program_title(values), " Show Korvane Device Drivers Status (" + file + " v5.01.015)");
  EXPECT_EQ(values.report_log_path, machine.temp_path + "D" + std::string(59, 'd') + ".txt");
}

TEST(StartupTexts, ShortFileNamesKeepTheProgramNameInsideTheName) {
  struct Case {
    const char* module_path;
    const char* file_name;
    const char* program_name;
  };
  const Case cases[] = {
      {"C:\\TOOLS\\TOOL.EXE", "Tool.exe", "Tool"},
      {"C:\\TOOLS\\DRIVERVIEW", "Driverview", "Driver"},  // cut by count
      {"C:\\A.EX", "A.ex", "A"},                          // extension dropped
      {"C:\\DV", "Dv", "Dv"},                             // nothing to cut
      {"C:\\.EXE", ".exe", ".exe"},                       // no name before the dot
      {"C:\\ABCD", "Abcd", "Abcd"},
  };
  SimMachine machine;
  SimHost host(machine);
  for (const Case& c : cases) {
    ProgramNames names = derive_program_names(host, c.module_path);
    EXPECT_EQ(names.program_file_name, c.file_name) << c.module_path;
    EXPECT_EQ(names.program_name, c.program_name) << c.module_path;
  }
}

}  // namespace
