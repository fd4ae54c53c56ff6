// "Run w/Log": the run framed by the log, and what the dialog then says.

#include "checks/logged_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "test_machines.h"

namespace {

// Keeps what it is given, but for the n-th write, which fails; its final
// flush always succeeds.
class StandInWriter : public LogWriter {
 public:
  explicit StandInWriter(int failing_write) : failing_write_(failing_write) {}
  bool open(const std::string&) override { return true; }
  bool write(const char* data, std::size_t count) override {
    if (++writes_ == failing_write_) return false;
    bytes.append(data, count);
    return true;
  }
  bool close() override { return true; }
  std::string bytes;

 private:
  int failing_write_;
  int writes_ = 0;
};

class LoggedRunTest : public ::testing::Test {
 protected:
  LoggedRunOutcome run(LogWriter& writer) {
    return run_status_with_log({host_, values_}, &table_, &list_, icons_, writer);
  }
  // Through the C library's file at `path`.
  LoggedRunOutcome run(const std::string& path) {
    values_.report_log_path = path;
    return run_status_with_log({host_, values_}, &table_, &list_, icons_);
  }

  SimMachine machine_;
  SimHost host_{machine_};
  ProcessValues values_ = values_for(host_);
  DriverFileTable table_;
  MemoryStatusList list_;
  IconRecorder icons_;
};

TEST_F(LoggedRunTest, WritesEveryListLineWithCrLf) {
  StandInWriter writer(0);
  EXPECT_EQ(run(writer), LOGGED_RUN_WRITTEN);
  std::string expected;
  for (const std::string& line : list_.lines) expected += line + "\r\n";
  EXPECT_EQ(writer.bytes, expected);
}

// A line lost in the middle of the run, though every later write and the
// final flush succeed.
TEST_F(LoggedRunTest, AWriteThatFailsPartWayIsNotAWrittenLog) {
  StandInWriter writer(7);
  LoggedRunOutcome outcome = run(writer);
  EXPECT_EQ(outcome, LOGGED_RUN_NOT_WRITTEN);
  EXPECT_EQ(icons_.shown.size(), static_cast<std::size_t>(GROUP_COUNT));  // the run was shown
  EXPECT_EQ(logged_run_notice(outcome, "C:\\TEMP\\Dorvik.txt").text,
            "Log File could not be written to:\nC:\\TEMP\\Dorvik.txt");
}

TEST_F(LoggedRunTest, ALogThatDoesNotOpenMeansNoRunAtAll) {
  list_.lines = {"line of an earlier run"};
  EXPECT_EQ(run(::testing::TempDir() + "missing/Dorvik.txt"), LOGGED_RUN_NOT_OPENED);
  EXPECT_EQ(list_.lines, std::vector<std::string>{"line of an earlier run"});
  EXPECT_TRUE(icons_.shown.empty());
}

// The C library's file: a full disk fails the buffered writes and the flush.
TEST_F(LoggedRunTest, AFullDiskIsNotAWrittenLog) {
  if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
  EXPECT_EQ(run("/dev/full"), LOGGED_RUN_NOT_WRITTEN);
}

}  // namespace
