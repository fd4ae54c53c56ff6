// support_test.cpp: dorvik-support's reader on real reports and on the forms they arrive in.
//
// The round trip carries the weight: every profile's expected.log is read
// back into a machine, written as a profile, and run again by the program,
// which must write the same bytes. The rest is what the round trip cannot
// reach: logs converted on their way (data files), reports that are not
// whole, log texts that must not run as HTML, and log texts shown in the
// code page the log was read in.

#include <dirent.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "diff.h"
#include "explain.h"
#include "file_io.h"
#include "host/sim/profile_loader.h"
#include "profile_writer.h"

namespace {

const std::string SOURCE = DORVIK_SOURCE_DIR;

std::string bytes_of(const std::string& path) {
  std::string bytes, error;
  EXPECT_TRUE(read_whole_file(path, &bytes, &error)) << error;
  return bytes;
}

// The log that the program writes on a profile's machine.
std::string log_of_profile(const std::string& folder) {
  SimMachine machine;
  std::string error;
  EXPECT_TRUE(load_machine_profile(folder, &machine, &error)) << error;
  SimProgramResult result;
  const std::string log = folder + "/written.log";
  run_sim_program(machine, log, &result);
  return bytes_of(log);
}

TEST(Support, EveryProfileGoesLogToProfileToTheSameLog) {
  std::vector<std::string> names;
  DIR* dir = opendir((SOURCE + "/machines").c_str());
  ASSERT_NE(dir, nullptr);
  while (dirent* entry = readdir(dir)) names.push_back(entry->d_name);
  closedir(dir);
  char work[] = "/tmp/dorvik-support-XXXXXX";
  ASSERT_NE(mkdtemp(work), nullptr);
  int read = 0;
  for (const std::string& name : names) {
    std::string expected, error;
    if (!read_whole_file(SOURCE + "/machines/" + name + "/expected.log", &expected, &error))
      continue;
    LogReading reading = read_log(expected);
    ASSERT_EQ(reading.verdict, LOG_EXACT) << name << ": " << reading.message;
    ProfileFiles files;
    ASSERT_TRUE(write_profile(reading, name, &files, &error)) << name << ": " << error;
    const std::string folder = std::string(work) + "/" + name;
    ASSERT_TRUE(make_directory(folder, &error) &&
                write_whole_file(folder + "/machine.toml", files.machine_toml, &error) &&
                write_whole_file(folder + "/registry.reg", files.registry_reg, &error));
    EXPECT_EQ(log_of_profile(folder), expected) << name;
    read++;
  }
  EXPECT_GE(read, 30);
  EXPECT_EQ(std::system(("rm -rf " + std::string(work)).c_str()), 0);
}

// The same report as Dorvik wrote it (Windows-1252, CR LF, with letters
// beyond ASCII) and as mail programs and editors pass it on.
TEST(Support, ConvertedLogsReadAsTheReportDorvikWrote) {
  const std::string data = SOURCE + "/tests/data/support/";
  const std::string original = bytes_of(data + "cp1252-crlf.log");
  const struct {
    const char* file;
    const char* encoding;
    const char* line_ends;
  } cases[] = {{"cp1252-crlf.log", "Windows-1252", "CR LF"},
               {"cp1252-lf-last-end-lost.log", "Windows-1252", "LF"},
               {"utf8-bom-lf.log", "UTF-8 with byte-order mark", "LF"},
               {"utf8-crlf-blank-added.log", "UTF-8", "CR LF"}};
  for (const auto& c : cases) {
    LogReading reading = read_log(bytes_of(data + c.file));
    ASSERT_EQ(reading.verdict, LOG_EXACT) << c.file << ": " << reading.message;
    EXPECT_STREQ(reading.encoding, c.encoding) << c.file;
    EXPECT_STREQ(reading.line_ends, c.line_ends) << c.file;
    std::string rewritten;
    for (const std::string& line : reading.run.lines) rewritten += line + "\r\n";
    EXPECT_EQ(rewritten, original) << c.file;
  }
}

std::vector<std::string> split_crlf(const std::string& bytes) {
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; at < bytes.size(); at = end + 2) {
    end = bytes.find("\r\n", at);
    lines.push_back(bytes.substr(at, end - at));
  }
  return lines;
}

std::string join_crlf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

TEST(Support, ReportsThatAreNotWholeAreToldApartNamingTheLine) {
  const std::vector<std::string> log =
      split_crlf(bytes_of(SOURCE + "/machines/winxp-complete/expected.log"));
  typedef std::function<void(std::vector<std::string>&)> Change;
  const struct {
    const char* what;
    Change change;
    LogVerdict verdict;
    int line;
  } cases[] = {
      {"cut after 40 lines", [](std::vector<std::string>& l) { l.resize(40); }, LOG_CUT_OFF, 40},
      {"cut inside a line",
       [](std::vector<std::string>& l) {
         l.resize(30);
         l[29].resize(12);
       },
       LOG_CUT_OFF, 30},
      {"a group shown AOK whose member is ERR",
       [](std::vector<std::string>& l) { l[17].replace(0, 5, "(ERR)"); }, LOG_EDITED, 18},
      {"a line no Dorvik writes", [](std::vector<std::string>& l) { l[20] = "hello"; }, LOG_EDITED,
       21},
      {"another version",
       [](std::vector<std::string>& l) { l[1].replace(l[1].find("5.01.015"), 8, "6.00.001"); },
       LOG_UNKNOWN_VERSION, 2},
      {"not a report",
       [](std::vector<std::string>& l) {
         l = {"Dear support,", "it fails."};
       },
       LOG_NOT_REPORT, 1},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines = log;
    c.change(lines);
    LogReading reading = read_log(join_crlf(lines));
    EXPECT_EQ(reading.verdict, c.verdict) << c.what << ": " << reading.message;
    EXPECT_EQ(reading.line, c.line) << c.what << ": " << reading.message;
  }
}

TEST(Support, TextsFromALogAreShownInTheHtmlNeverRun) {
  SimMachine machine;
  std::string error;
  ASSERT_TRUE(load_machine_profile(SOURCE + "/machines/winxp-complete", &machine, &error));
  sim_set_string(machine, "System\\CurrentControlSet\\Services\\DS1410D", "Group",
                 "<script>alert('x')</script>&");
  char log[] = "/tmp/dorvik-support-log-XXXXXX";
  ASSERT_GE(mkstemp(log), 0);
  SimProgramResult result;
  run_sim_program(machine, log, &result);
  LogReading reading = read_log(bytes_of(log));
  unlink(log);
  ASSERT_EQ(reading.verdict, LOG_EXACT) << reading.message;
  std::string page = explain_html("<b>name</b>", reading, explain_reading(reading));
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("<b>name"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&amp;"), std::string::npos);
  EXPECT_EQ(explain_exit_code(reading, explain_reading(reading)), 1);
}

// A Japanese log reads only in a double-byte code page: its texts are shown
// from that one, by characters, in every output.
TEST(Support, TextsAreShownInTheCodePageTheLogWasReadIn) {
  LogReading reading = read_log(bytes_of(SOURCE + "/machines/winxp-japanese/expected.log"));
  ASSERT_EQ(reading.verdict, LOG_EXACT) << reading.message;
  const Explanation e = explain_reading(reading);
  EXPECT_NE(explain_text("log", reading, e).find("Program: アプリ.exe"), std::string::npos);
  EXPECT_NE(explain_html("log", reading, e).find("Program: アプリ.exe"), std::string::npos);
  EXPECT_NE(
      diff_text("old", reading, e, "new", reading, e).find("Group: Ｅｘｔｅｎｄｅｄ Ｂａｓｅ"),
      std::string::npos);
}

}  // namespace
