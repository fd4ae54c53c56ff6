// The sink's list and its cap, the exact bytes of the log, and the texts
// composed around the formatter's buffer size.

#include "report/report_sink.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "report/memory_status_list.h"
#include "report/text.h"

namespace {

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An embedded line feed stays as it is: one log line per list line.
TEST(ReportLine, ListAndLogHoldTheSameLinesOnAnEmptiedLog) {
  std::string path = ::testing::TempDir() + "report.txt";
  MemoryStatusList list;
  for (const char* text : {"first run, longer line", static_cast<const char*>(nullptr)}) {
    ReportLog log;
    ASSERT_TRUE(open_report_log(&log, path));
    ReportSink sink = {&list, &log};
    report_line(sink, text);
    report_line(sink, "100% of 5%s%d\tdone\nmore");
    report_line(sink, "");
    ASSERT_TRUE(close_report_log(&log));
  }
  EXPECT_EQ(list.lines.at(3), " ");
  EXPECT_EQ(file_bytes(path), " \r\n100% of 5%s%d\tdone\nmore\r\n\r\n");
}

TEST(ReportLine, ListKeepsTheLatest1100LinesAndShowsTheNewest) {
  MemoryStatusList list;
  ReportSink sink = {&list, nullptr};
  for (int i = 0; i <= REPORT_LIST_MAX_LINES; i++) report_line(sink, std::to_string(i));
  EXPECT_EQ(list.count(), 1100);
  EXPECT_EQ(list.lines.front(), "1");
  EXPECT_EQ(list.lines.back(), "1100");
  EXPECT_EQ(list.top_index, 1099);
}

// A processor name of blanks only (a tab is no blank: see the CPU lines).
TEST(StripLeadingSpaces, BlanksOnlyLeaveNothing) {
  std::string text = "   ";
  strip_leading_spaces(&text);
  EXPECT_EQ(text, "");
}

// The formatter composes in a buffer of 128 characters first.
TEST(FormatText, TextsAroundTheBufferSizeComeBackWhole) {
  for (std::size_t length : {127, 128, 129}) {
    std::string text = std::string(length - 1, 'x') + "y";
    EXPECT_EQ(format_text("%s", text.c_str()), text) << length;
  }
}

}  // namespace
