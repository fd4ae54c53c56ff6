// Looking up driver files and the line each one gets.

#include <gtest/gtest.h>

#include "checks/driver_table.h"
#include "test_machines.h"

namespace {

struct Probe {
  SimMachine m;
  DriverFileSlot slot;
  std::string line;
  int open_handles = 0;
};

// Probes one slot on a machine and writes its line with the given status.
Probe probe(const SimMachine& m, int slot_number, DriverStatus status = STATUS_AOK) {
  Probe p;
  p.m = m;
  SimHost host(p.m);
  ProcessValues values = values_for(host);
  RunContext ctx = {host, values};
  probe_driver_file(ctx, &p.slot, DRIVER_FILES[slot_number].name, DRIVER_FILES[slot_number].family);
  p.slot.status = status;
  LineCapture out;
  report_driver_file(host, out.sink, p.slot);
  p.line = out.list.lines.at(0);
  p.open_handles = host.open_handle_count();
  return p;
}

TEST(LocateDriverFile, BuildsThePathOfItsDirectoryFamilyPerClass) {
  struct Case {
    OsClass os;
    int slot;
    const char* path;
  } cases[] = {
      {OS_WIN98, 6, "C:\\WINDOWS\\SYSTEM\\Rockey9x.vxd"},
      {OS_WIN98, 9, "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\Rockusb.sys"},
      {OS_WIN2000, 10, "C:\\WINNT\\SYSTEM32\\Rockvdd.dll"},
      {OS_NT351, 0, "C:\\WINNT\\SYSTEM32\\Downtvdd.dll"},
      {OS_OTHER_PLATFORM, 5, "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll"},
      {OS_WINXP, 8, "C:\\WINDOWS\\INF\\Rockusb.inf"},
      {OS_WIN95A, 11, "C:\\WINDOWS\\Userport.exe"},
  };
  for (const Case& c : cases) EXPECT_EQ(probe(bare_machine(c.os), c.slot).slot.path, c.path);
}

TEST(ReportDriverFile, AlignsNamesSizesAndCounts) {
  SimMachine m = bare_machine(OS_WINXP);
  const std::string shared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
  sim_add_file(m, "C:\\WINDOWS\\INF\\Rockusb.inf", 2098, sim_file_time(2001, 12, 10, 9));
  SimFile& ibfs =
      sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll", 131072, sim_file_time(2001, 10, 3, 9));
  ibfs.version.state = SIM_VERSION_PRESENT;
  ibfs.version.translations = {0x04B00409};
  ibfs.version.file_versions["040904B0"] = "3.00";
  // The registry matches the value name in any letter case.
  sim_set_dword(m, shared, "c:\\windows\\system32\\IBFS32.DLL", 3);
  sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\Rockeynt.sys", 18223,
               sim_file_time(2001, 12, 10));
  sim_set_dword(m, shared, "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\Rockeynt.sys", 12);
  sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\Userport.sys", 4256,
               sim_file_time(2000, 11, 28));
  sim_set_dword(m, shared, "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\Userport.sys", 0);
  // A file of 4 GiB and more shows the low 32 bits of its size.
  sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\Rockvdd.dll", 0x100000000ull + 10752,
               sim_file_time(2001, 12, 10));
  sim_set_dword(m, shared, "C:\\WINDOWS\\SYSTEM32\\Rockvdd.dll", 0xFFFFFFFF);

  EXPECT_EQ(probe(m, 8).line, "(AOK)  Rockusb.inf    2098  12-10-2001  Shr-Cnt:n/a  Vers: n/a");
  EXPECT_EQ(probe(m, 5).line, "(AOK)   Ibfs32.dll  131072  10-03-2001  Shr-Cnt: 3  Vers: 3.00");
  EXPECT_EQ(probe(m, 7, STATUS_UNSURE).line,
            "( ? ) Rockeynt.sys   18223  12-10-2001  Shr-Cnt:12  Vers: n/a");
  EXPECT_EQ(probe(m, 12).line, "(AOK) Userport.sys    4256  11-28-2000  Shr-Cnt: 0  Vers: n/a");
  EXPECT_EQ(probe(m, 10).line, "(AOK)  Rockvdd.dll   10752  12-10-2001  Shr-Cnt:n/a  Vers: n/a");
  EXPECT_EQ(probe(m, 9, STATUS_ERR).line, "(ERR)  Rockusb.sys Not Found.");
  EXPECT_EQ(probe(m, 0, STATUS_NR).line, "(n/r) Downtvdd.dll Not Found.");
  EXPECT_EQ(probe(m, 4, STATUS_ERR).line, "(ERR)  Ib97u32.dll Not Found.");
}

TEST(ReportDriverFile, LongValuesArePrintedWhole) {
  SimMachine m = bare_machine(OS_WINXP);
  SimFile& f =
      sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll", 4294967295u, sim_file_time(2001, 10, 3));
  f.version.state = SIM_VERSION_PRESENT;
  f.version.translations = {0x04E40409};
  f.version.file_versions["040904E4"] = std::string(90, '9');
  sim_set_dword(m, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll", 0x7FFFFFFF);
  EXPECT_EQ(probe(m, 5).line,
            "(AOK)   Ibfs32.dll 4294967295  10-03-2001  Shr-Cnt:2147483647  Vers: " +
                std::string(90, '9'));
}

TEST(ReadFileVersion, PlaceholdersForEachKindOfMissingVersion) {
  struct Case {
    SimVersionState state;
    std::vector<std::uint32_t> translations;
    std::map<std::string, std::string> versions;
    const char* expected;
  } cases[] = {
      {SIM_VERSION_ABSENT, {}, {}, "n/a"},
      {SIM_VERSION_UNREADABLE, {}, {}, ""},
      {SIM_VERSION_NO_TRANSLATION, {}, {}, "Code Page N/A"},
      {SIM_VERSION_PRESENT, {}, {{"040904E4", "1.0"}}, "Code Page N/A"},  // empty table
      {SIM_VERSION_PRESENT, {0x04E40409}, {{"040904E4", "5.1.2600.0"}}, "5.1.2600.0"},
      {SIM_VERSION_PRESENT, {0x04E40409}, {{"040904e4", "lower"}}, "lower"},
      // Only the first translation is tried.
      {SIM_VERSION_PRESENT, {0x04B00409, 0x04E40409}, {{"040904E4", "1.0"}}, "n/a"},
      {SIM_VERSION_PRESENT, {0x00000000}, {{"00000000", "neutral"}}, "neutral"},
  };
  for (const Case& c : cases) {
    SimMachine m = bare_machine(OS_WINXP);
    SimFile& f = sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll", 1, sim_file_time(2001, 1, 1));
    f.version.state = c.state;
    f.version.translations = c.translations;
    f.version.file_versions = c.versions;
    Probe p = probe(m, 5);
    EXPECT_EQ(p.slot.version, c.expected);
    EXPECT_EQ(p.open_handles, 0);
  }
}

TEST(ProbeDriverFile, FindsDirectoriesAndNamesInAnyCase) {
  SimMachine m = bare_machine(OS_WINXP);
  SimFile& dir =
      sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\ROCKUSB.SYS", 0, sim_file_time(2003, 3, 3));
  dir.is_directory = true;
  Probe p = probe(m, 9);
  EXPECT_TRUE(p.slot.found);
  EXPECT_EQ(p.line, "(AOK)  Rockusb.sys       0  03-03-2003  Shr-Cnt:n/a  Vers: n/a");
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
  LineCapture out;
  slot.status = STATUS_ERR;
  report_driver_file(host, out.sink, slot);
  EXPECT_EQ(out.text(), "(ERR)   Ibfs32.dll Not Found.\n");
}

TEST(ReadSharedUseCount, PathsOfAnyLengthAndEveryFailure) {
  const std::string shared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
  const std::string long_path = "C:\\" + std::string(200, 'D') + "\\SYSTEM32\\Ibfs32.dll";
  SimMachine m;
  sim_set_dword(m, shared, long_path, 7);
  sim_set_value(m, shared, "C:\\short", SIM_REG_BINARY, {2});             // short data
  sim_set_value(m, shared, "C:\\long", SIM_REG_BINARY, {1, 0, 0, 0, 0});  // over 4 bytes
  sim_set_string(m, shared, "C:\\text", "2");                             // "2" and NUL
  SimHost host(m);
  EXPECT_EQ(read_shared_use_count(host, long_path), 7);
  EXPECT_EQ(read_shared_use_count(host, "C:\\short"), 2);
  EXPECT_EQ(read_shared_use_count(host, "C:\\long"), SHARED_COUNT_UNKNOWN);
  EXPECT_EQ(read_shared_use_count(host, "C:\\text"), 0x32);
  EXPECT_EQ(read_shared_use_count(host, "C:\\absent"), SHARED_COUNT_UNKNOWN);
  m.registry.begin()->second.open_error = HOSTERR_ACCESS_DENIED;
  EXPECT_EQ(read_shared_use_count(host, long_path), SHARED_COUNT_UNKNOWN);
  EXPECT_EQ(host.open_handle_count(), 0);
  EXPECT_EQ(host.key_access[sim_fold(shared)], REG_ACCESS_READ);
}

TEST(FileTimeTexts, UseTheOffsetInForceNow) {
  SimMachine m;
  SimHost host(m);
  std::uint64_t t = sim_file_time(2001, 12, 10, 23, 30, 5);
  std::string date, time;
  ASSERT_TRUE(file_time_texts(host, t, &date, &time));
  EXPECT_EQ(date + " " + time, "12-10-2001 23:30:05");
  m.utc_offset_minutes = 60;
  ASSERT_TRUE(file_time_texts(host, t, &date, &time));
  EXPECT_EQ(date + " " + time, "12-11-2001 00:30:05");
  m.utc_offset_minutes = -24 * 60;
  std::string untouched_date = "keep", untouched_time = "keep";
  EXPECT_FALSE(file_time_texts(host, 0, &untouched_date, &untouched_time));
  EXPECT_FALSE(file_time_texts(host, 0x8000000000000000ull, &untouched_date, &untouched_time));
  EXPECT_EQ(untouched_date + untouched_time, "keepkeep");
}

// Found by fuzzing: the last file time, moved east of UTC, ran past the
// largest file time; it fails to convert and leaves the texts alone.
TEST(FileTimeTexts, LocalTimePastTheLastFileTimeFails) {
  SimMachine m;
  SimHost host(m);
  std::string date = "keep", time = "keep";
  for (int offset : {1, 60, 14 * 60, 2147483647}) {
    m.utc_offset_minutes = offset;
    EXPECT_FALSE(file_time_texts(host, 0x7FFFFFFFFFFFFFFFull, &date, &time)) << offset;
  }
  EXPECT_EQ(date + time, "keepkeep");
  m.utc_offset_minutes = -60;
  EXPECT_TRUE(file_time_texts(host, 0x7FFFFFFFFFFFFFFFull, &date, &time));
  EXPECT_EQ(date, "09-14-30828");
}

}  // namespace
