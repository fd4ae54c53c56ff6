// Looking up driver files and the line each one gets, where the machine
// profiles' whole reports do not reach.

#include <gtest/gtest.h>

#include "checks/driver_table.h"
#include "test_machines.h"

namespace {

struct Probe {
  DriverFileSlot slot;
  std::string line;
  int open_handles = 0;
};

// Probes one slot on a machine and writes its line as AOK.
Probe probe(SimMachine m, DriverSlot which) {
  Probe p;
  SimHost host(m);
  ProcessValues values = values_for(host);
  RunContext ctx = {host, values};
  probe_driver_file(ctx, &p.slot, DRIVER_FILES[which].name, DRIVER_FILES[which].family);
  p.slot.status = STATUS_AOK;
  LineCapture out;
  report_driver_file(host, out.sink, p.slot);
  p.line = out.list.lines.at(0);
  p.open_handles = host.open_handle_count();
  return p;
}

TEST(ReportDriverFile, LongValuesArePrintedWhole) {
  SimMachine m = bare_machine(OS_WINXP);
  SimFile& f =
      sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll", 4294967295u, sim_file_time(2001, 10, 3));
  f.version.state = SIM_VERSION_PRESENT;
  f.version.translations = {0x04E40409};
  f.version.file_versions["040904E4"] = std::string(90, '9');
  sim_set_dword(m, SHARED_DLLS_KEY, "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll", 0x7FFFFFFF);
  EXPECT_EQ(probe(m, SLOT_IBFS32_DLL).line,
            "(AOK)   Ibfs32.dll 4294967295  10-03-2001  Shr-Cnt:2147483647  Vers: " +
                std::string(90, '9'));
}

TEST(ReadFileVersion, PlaceholdersForEachKindOfMissingVersion) {
  const struct {
    SimVersionState state;
    std::vector<std::uint32_t> translations;
    std::map<std::string, std::string> versions;
    const char* expected;
  } cases[] = {
      {SIM_VERSION_ABSENT, {}, {}, "n/a"},
      {SIM_VERSION_UNREADABLE, {}, {}, ""},
      {SIM_VERSION_NO_TRANSLATION, {}, {}, "Code Page N/A"},
      {SIM_VERSION_PRESENT, {}, {{"040904E4", "1.0"}}, "Code Page N/A"},  // empty table
      {SIM_VERSION_PRESENT, {0x04E40409}, {{"040904e4", "lower"}}, "lower"},
      // Only the first translation is tried.
      {SIM_VERSION_PRESENT, {0x04B00409, 0x04E40409}, {{"040904E4", "1.0"}}, "n/a"},
      {SIM_VERSION_PRESENT, {0x00000000}, {{"00000000", "neutral"}}, "neutral"},
  };
  for (const auto& c : cases) {
    SimMachine m = bare_machine(OS_WINXP);
    SimFile& f = sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll", 1, sim_file_time(2001, 1, 1));
    f.version.state = c.state;
    f.version.translations = c.translations;
    f.version.file_versions = c.versions;
    Probe p = probe(m, SLOT_IBFS32_DLL);
    EXPECT_EQ(p.slot.version, c.expected);
    EXPECT_EQ(p.open_handles, 0);
  }
}

TEST(ProbeDriverFile, AFileGoneSinceTheLastRunIsNotFound) {
  SimMachine m = bare_machine(OS_WINXP);
  sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll", 131072, sim_file_time(2001, 10, 3));
  SimHost host(m);
  ProcessValues values = values_for(host);
  RunContext ctx = {host, values};
  DriverFileSlot slot;
  probe_driver_file(ctx, &slot, "Ibfs32.dll", DIR_SYSTEM);
  ASSERT_TRUE(slot.found);
  EXPECT_EQ(slot.version, "n/a");
  m.files.clear();
  probe_driver_file(ctx, &slot, "Ibfs32.dll", DIR_SYSTEM);
  EXPECT_FALSE(slot.found);
  EXPECT_EQ(slot.version, "");
}

TEST(ReadSharedUseCount, PathsOfAnyLengthAndEveryFailure) {
  const std::string long_path = "C:\\" + std::string(200, 'D') + "\\SYSTEM32\\Ibfs32.dll";
  SimMachine m;
  sim_set_dword(m, SHARED_DLLS_KEY, long_path, 7);
  sim_set_value(m, SHARED_DLLS_KEY, "C:\\short", SIM_REG_BINARY, {2});             // short data
  sim_set_value(m, SHARED_DLLS_KEY, "C:\\long", SIM_REG_BINARY, {1, 0, 0, 0, 0});  // over 4 bytes
  sim_set_string(m, SHARED_DLLS_KEY, "C:\\text", "2");                             // "2" and NUL
  SimHost host(m);
  EXPECT_EQ(read_shared_use_count(host, long_path), 7);
  EXPECT_EQ(read_shared_use_count(host, "C:\\short"), 2);
  EXPECT_EQ(read_shared_use_count(host, "C:\\long"), SHARED_COUNT_UNKNOWN);
  EXPECT_EQ(read_shared_use_count(host, "C:\\text"), 0x32);
  EXPECT_EQ(read_shared_use_count(host, "C:\\absent"), SHARED_COUNT_UNKNOWN);
  m.registry.begin()->second.open_error = HOSTERR_ACCESS_DENIED;
  EXPECT_EQ(read_shared_use_count(host, long_path), SHARED_COUNT_UNKNOWN);
  EXPECT_EQ(host.open_handle_count(), 0);
}

TEST(FileTimeTexts, TodaysOffsetAndTimesThatDoNotConvert) {
  SimMachine m;
  SimHost host(m);
  std::string date, time;
  m.utc_offset_minutes = 60;
  ASSERT_TRUE(file_time_texts(host, sim_file_time(2001, 12, 10, 23, 30, 5), &date, &time));
  EXPECT_EQ(date + " " + time, "12-11-2001 00:30:05");
  m.utc_offset_minutes = -60;
  EXPECT_TRUE(file_time_texts(host, 0x7FFFFFFFFFFFFFFFull, &date, &time));
  EXPECT_EQ(date, "09-14-30828");
  // Before the first file time, or (found by fuzzing) east of UTC past the
  // last: the conversion fails and the texts are left alone.
  date = time = "keep";
  EXPECT_FALSE(file_time_texts(host, 0, &date, &time));
  for (int offset : {1, 14 * 60, 2147483647}) {
    m.utc_offset_minutes = offset;
    EXPECT_FALSE(file_time_texts(host, 0x7FFFFFFFFFFFFFFFull, &date, &time)) << offset;
  }
  m.utc_offset_minutes = 0;
  EXPECT_FALSE(file_time_texts(host, 0x8000000000000000ull, &date, &time));
  EXPECT_EQ(date + time, "keepkeep");
}

}  // namespace
