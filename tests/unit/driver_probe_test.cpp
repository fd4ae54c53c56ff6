// Looking up driver files and the line each one gets, where the machine
// profiles' whole reports do not reach.

#include <gtest/gtest.h>

#include "checks/driver_table.h"
#include "test_machines.h"

namespace {

struct Probe {
  DriverFileSlot slot;
  std::string line;
};

// Probes one slot on a machine, after earlier runs left `slot` as it is,
// and writes its line as AOK.
Probe probe(const SimMachine& m, DriverSlot which, const DriverFileSlot& slot = {}) {
  Probe p;
  p.slot = slot;
  SimHost host(m);
  ProcessValues values = values_for(host);
  RunContext ctx = {host, values};
  probe_driver_file(ctx, &p.slot, DRIVER_FILES[which].name, DRIVER_FILES[which].family);
  p.slot.status = STATUS_AOK;
  LineCapture out;
  report_driver_file(host, out.sink, p.slot);
  p.line = out.list.lines.at(0);
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

// A translation table too short to hold one entry has no first translation.
TEST(ReadFileVersion, AnEmptyTranslationTableHasNoCodePage) {
  SimMachine m = bare_machine(OS_WINXP);
  SimFile& f = sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll", 1, sim_file_time(2001, 1, 1));
  f.version.state = SIM_VERSION_PRESENT;
  f.version.file_versions["040904E4"] = "1.0";
  EXPECT_EQ(probe(m, SLOT_IBFS32_DLL).slot.version, "Code Page N/A");
}

TEST(ProbeDriverFile, AFileGoneSinceTheLastRunIsNotFound) {
  SimMachine m = bare_machine(OS_WINXP);
  sim_add_file(m, "C:\\WINDOWS\\SYSTEM32\\Ibfs32.dll", 131072, sim_file_time(2001, 10, 3));
  Probe first = probe(m, SLOT_IBFS32_DLL);
  ASSERT_TRUE(first.slot.found);
  EXPECT_EQ(probe(bare_machine(OS_WINXP), SLOT_IBFS32_DLL, first.slot).line,
            "(AOK)   Ibfs32.dll Not Found.");
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
  m.registry.begin()->second.open_error = HOSTERR_ACCESS_DENIED;
  EXPECT_EQ(read_shared_use_count(host, long_path), SHARED_COUNT_UNKNOWN);
  EXPECT_EQ(host.open_handle_count(), 0);
}

// The last file time converts west of UTC; before the first, or (found by
// fuzzing) east of UTC past the last, the conversion fails and leaves the
// texts alone.
TEST(FileTimeTexts, TheEdgesOfTheFileTimeRange) {
  SimMachine m;
  SimHost host(m);
  std::string date, time;
  const struct {
    int offset;
    std::uint64_t time;
    const char* texts;
  } cases[] = {
      {-60, 0x7FFFFFFFFFFFFFFFull, "09-14-30828 01:48:05"},
      {-60, 0, nullptr},
      {1, 0x7FFFFFFFFFFFFFFFull, nullptr},
      {0, 0x8000000000000000ull, nullptr},
  };
  for (const auto& c : cases) {
    m.utc_offset_minutes = c.offset;
    date = time = "keep";
    EXPECT_EQ(file_time_texts(host, c.time, &date, &time), c.texts != nullptr) << c.offset;
    EXPECT_EQ(date + " " + time, c.texts ? c.texts : "keep keep") << c.offset;
  }
}

}  // namespace
