// Judging driver files and combining groups, where the machine profiles'
// whole reports do not reach: pairs that mix, per-class pairs, today's
// offset, and which member feeds which group.

#include "checks/evaluation.h"

#include <gtest/gtest.h>

#include "test_machines.h"

namespace {

// Which members feed each group on a class, found by making one member at a
// time an error: slots by number, check results by letter (R Rockey9x
// registry, T TMEX registry, D DS1410D registry, V VDD registry, U UserPort).
// "-" is a group not required (n/r), "." one that no member makes an error
// (a file counts only where it is required; the DS1410D result is n/r off NT).
std::string group_members(OsClass os) {
  std::string members[GROUP_COUNT];
  for (int candidate = 0; candidate < DRIVER_SLOT_COUNT + CHECK_RESULT_COUNT; candidate++) {
    DriverFileTable table;
    for (DriverFileSlot& slot : table.slots) slot.status = STATUS_AOK;
    CheckResults r = {{STATUS_AOK, STATUS_AOK, STATUS_AOK, STATUS_AOK, STATUS_AOK}};
    const bool slot = candidate < DRIVER_SLOT_COUNT;
    (slot ? table.slots[candidate].status : r.status[candidate - DRIVER_SLOT_COUNT]) = STATUS_ERR;
    GroupStatuses g = compute_groups(os, table, r);
    for (int group = 0; group < GROUP_COUNT; group++) {
      if (g.status[group] == STATUS_NR) members[group] = "-";
      if (g.status[group] != STATUS_ERR) continue;
      if (!members[group].empty()) members[group] += ",";
      members[group] +=
          slot ? std::to_string(candidate) : std::string(1, "RTDVU"[candidate - DRIVER_SLOT_COUNT]);
    }
  }
  std::string text;
  for (const std::string& m : members) text += (m.empty() ? "." : m) + " ";
  return text;
}

TEST(ComputeGroups, EachGroupCombinesItsMembersOnEachKindOfClass) {
  // Groups 1 to 13 in order; 95B, Me, 2000 and other platforms follow the
  // same rules as 95A, 98, XP and NT 3.51.
  const std::pair<OsClass, const char*> expected[] = {
      {OS_WIN95A, "- 6 R 2,5,13 T,D 3,4,5 T - 6 R - - U "},
      {OS_WIN98, "8,9 6 R 2,5,13 T,D 3,4,5 T 8,9 6 R - - U "},
      {OS_NT351, "- . R 2,5 T,D 3,4,5 T - . R . - U "},
      {OS_NT4, "- 7 R 1,2,5 T,D 3,4,5 T - 7,10 R 0,1 V U "},
      {OS_WINXP, "8,9 7 R 1,2,5 T,D 3,4,5 T 8,9,10 7,10 R 11,12 - U "},
  };
  for (const auto& [os, members] : expected) EXPECT_EQ(group_members(os), members) << os;
}

// The status of one slot holding a file of the given size and UTC time.
DriverStatus judged(OsClass os, DriverSlot which, std::uint32_t size, std::uint64_t time,
                    int utc_offset_minutes) {
  SimMachine m = bare_machine(os);
  m.utc_offset_minutes = utc_offset_minutes;
  SimHost host(m);
  ProcessValues values = values_for(host);
  RunContext ctx = {host, values};
  DriverFileSlot slot;
  slot.found = true;
  slot.size = size;
  slot.last_write = time;
  evaluate_driver_file(ctx, &slot, which);
  return slot.status;
}

TEST(EvaluateDriverFile, OneAcceptedPairOfTheClassMustMatchInSizeAndLocalDate) {
  const struct {
    OsClass os;
    DriverSlot slot;
    std::uint32_t size;
    std::uint64_t time;
    int offset;
    DriverStatus expected;
  } cases[] = {
      // The size of one pair with the date of the other matches neither.
      {OS_WINXP, SLOT_ROCKUSB_SYS, 23384, sim_file_time(2001, 12, 10, 12), 0, STATUS_UNSURE},
      {OS_WINXP, SLOT_ROCKUSB_SYS, 23384, sim_file_time(2002, 8, 20, 12), 0, STATUS_AOK},
      // Vsauthd.vxd's pairs differ between 95 and 98/Me.
      {OS_WINME, SLOT_VSAUTHD_VXD, 11354, sim_file_time(2001, 6, 18, 12), 0, STATUS_UNSURE},
      {OS_WIN95A, SLOT_VSAUTHD_VXD, 11354, sim_file_time(2002, 4, 30, 12), 0, STATUS_UNSURE},
      {OS_WIN98, SLOT_VSAUTHD_VXD, 11366, sim_file_time(2002, 6, 24, 12), 0, STATUS_AOK},
      {OS_WIN95B, SLOT_VSAUTHD_VXD, 11366, sim_file_time(2002, 6, 24, 12), 0, STATUS_AOK},
      {OS_WIN98, SLOT_ROCKEY9X_VXD, 28252, sim_file_time(2002, 8, 21, 12), 0, STATUS_UNSURE},
      // The date is the local date with today's offset.
      {OS_WINXP, SLOT_USERPORT_SYS, 4256, sim_file_time(2000, 11, 27, 23, 30), 0, STATUS_UNSURE},
      {OS_WINXP, SLOT_USERPORT_SYS, 4256, sim_file_time(2000, 11, 27, 23, 30), 60, STATUS_AOK},
      // A time that cannot be converted matches no pair.
      {OS_WINXP, SLOT_USERPORT_SYS, 4256, 0x8000000000000000ull, 0, STATUS_UNSURE},
  };
  for (const auto& c : cases)
    EXPECT_EQ(judged(c.os, c.slot, c.size, c.time, c.offset), c.expected)
        << c.os << " " << DRIVER_FILES[c.slot].name << " " << c.size;
}

}  // namespace
