// The sink's list, its cap, and the exact bytes of the log.

#include "report/report_sink.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "report/memory_status_list.h"
#include "report/status.h"

namespace {

std::string temp_file(const char* name) { return ::testing::TempDir() + name; }

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ReportLine, AbsentTextIsOneBlankInListAndLog) {
  MemoryStatusList list;
  ReportLog log;
  std::string path = temp_file("blank.txt");
  ASSERT_TRUE(open_report_log(&log, path));
  ReportSink sink = {&list, &log};
  report_line(sink, nullptr);
  report_line(sink, "100% of 5%s%d\tdone");
  report_line(sink, "");
  ASSERT_TRUE(close_report_log(&log));
  EXPECT_EQ(list.lines, (std::vector<std::string>{" ", "100% of 5%s%d\tdone", ""}));
  EXPECT_EQ(file_bytes(path), std::string(" \r\n100% of 5%s%d\tdone\r\n\r\n"));
}

TEST(ReportLine, ListKeepsTheLatest1100LinesAndShowsTheNewest) {
  MemoryStatusList list;
  ReportSink sink = {&list, nullptr};
  for (int i = 0; i < REPORT_LIST_MAX_LINES; i++) report_line(sink, std::to_string(i));
  EXPECT_EQ(list.count(), 1100);
  EXPECT_EQ(list.top_index, 1099);
  report_line(sink, "newest");
  EXPECT_EQ(list.count(), 1100);
  EXPECT_EQ(list.lines.front(), "1");
  EXPECT_EQ(list.lines[1099], "newest");
  EXPECT_EQ(list.top_index, 1099);
}

TEST(ReportLog, OpeningEmptiesAnEarlierLog) {
  std::string path = temp_file("again.txt");
  MemoryStatusList list;
  for (const char* text : {"first run, longer line", "second"}) {
    ReportLog log;
    ASSERT_TRUE(open_report_log(&log, path));
    ReportSink sink = {&list, &log};
    report_line(sink, text);
    ASSERT_TRUE(close_report_log(&log));
  }
  EXPECT_EQ(file_bytes(path), "second\r\n");
}

TEST(ReportLog, FailedWritesAreReportedAtClose) {
  ReportLog log;
  ASSERT_TRUE(open_report_log(&log, "/dev/full"));
  MemoryStatusList list;
  ReportSink sink = {&list, &log};
  for (int i = 0; i < 100; i++) report_line(sink, std::string(100, 'x'));
  EXPECT_FALSE(close_report_log(&log));
  EXPECT_EQ(list.count(), 100);  // the list still shows the run
}

TEST(ReportLog, UnopenablePathFails) {
  ReportLog log;
  EXPECT_FALSE(open_report_log(&log, temp_file("no/such/dir/x.txt")));
}

TEST(StatusText, ThreeCharactersForEveryValue) {
  const std::pair<int, const char*> cases[] = {
      {0, " ? "},         {STATUS_AOK, "AOK"}, {STATUS_ERR, "ERR"}, {STATUS_UNSURE, " ? "},
      {STATUS_NR, "n/r"}, {5, " ? "},          {-1, " ? "}};
  for (const auto& c : cases) EXPECT_STREQ(status_text(DriverStatus(c.first)), c.second) << c.first;
}

TEST(StripLeadingSpaces, RemovesBlanksOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"   word", "word"}, {"\tword", "\tword"}, {"   ", ""}, {"word  ", "word  "}, {"", ""},
      {" a b ", "a b "}};
  for (const auto& c : cases) {
    std::string text = c.first;
    strip_leading_spaces(&text);
    EXPECT_EQ(text, c.second);
  }
}

}  // namespace
