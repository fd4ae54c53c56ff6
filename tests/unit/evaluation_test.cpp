// Judging driver files, and the thirteen groups on every class.

#include "checks/evaluation.h"

#include <gtest/gtest.h>

#include "test_machines.h"

namespace {

const OsClass EVERY_CLASS[] = {OS_UNSUPPORTED, OS_OTHER_PLATFORM, OS_WIN95A, OS_WIN95B,  OS_WIN98,
                               OS_WINME,       OS_NT351,          OS_NT4,    OS_WIN2000, OS_WINXP};

TEST(Combine, ErrorOutranksUnsureOutranksAok) {
  const DriverStatus A = STATUS_AOK, E = STATUS_ERR, U = STATUS_UNSURE, N = STATUS_NR;
  EXPECT_EQ(combine(A, A, A), A);
  EXPECT_EQ(combine(U, A, A), U);
  EXPECT_EQ(combine(A, U, E), E);
  EXPECT_EQ(combine(E, U), E);
  EXPECT_EQ(combine(N, N, N), A);  // a group of members not required is in order
  EXPECT_EQ(combine(N, U), U);
  EXPECT_EQ(combine(N), A);
  EXPECT_EQ(combine(E), E);
}

// Which members feed each group on a class, found by making one member at a
// time an error: slots by number, check results by letter (R Rockey9x
// registry, T TMEX registry, D DS1410D registry, V VDD registry, U UserPort).
// A group that names one check passes it on; "-" is not required (n/r).
std::string group_members(OsClass os) {
  const char* checks = "RTDVU";
  std::vector<std::string> members(GROUP_COUNT);
  for (int candidate = 0; candidate < DRIVER_SLOT_COUNT + 5; candidate++) {
    DriverFileTable table;
    for (int i = 0; i < DRIVER_SLOT_COUNT; i++) table.slots[i].status = STATUS_AOK;
    DriverStatus r[5] = {STATUS_AOK, STATUS_AOK, STATUS_AOK, STATUS_AOK, STATUS_AOK};
    if (candidate < DRIVER_SLOT_COUNT)
      table.slots[candidate].status = STATUS_ERR;
    else
      r[candidate - DRIVER_SLOT_COUNT] = STATUS_ERR;
    GroupStatuses g = compute_groups(os, table, {r[0], r[1], r[2], r[3], r[4]});
    for (int group = 0; group < GROUP_COUNT; group++) {
      if (g.status[group] == STATUS_NR) members[group] = "-";
      if (g.status[group] != STATUS_ERR) continue;
      if (!members[group].empty()) members[group] += ",";
      members[group] += candidate < DRIVER_SLOT_COUNT
                            ? std::to_string(candidate)
                            : std::string(1, checks[candidate - DRIVER_SLOT_COUNT]);
    }
  }
  std::string text;
  for (const std::string& m : members) text += m + " ";
  return text;
}

TEST(ComputeGroups, EachGroupCombinesItsMembersOnEveryClass) {
  // Groups 1 to 13 in order, from the rules by class.
  const std::map<OsClass, std::string> expected = {
      {OS_UNSUPPORTED, "- 7 R 1,2,5 T,D 3,4,5 T - 7,10 R 11,12 - U "},
      {OS_OTHER_PLATFORM, "- 7 R 1,2,5 T,D 3,4,5 T - 7,10 R 11,12 - U "},
      {OS_NT351, "- 7 R 1,2,5 T,D 3,4,5 T - 7,10 R 11,12 - U "},
      {OS_WIN95A, "- 6 R 2,5,13 T 3,4,5 T - 6 R - - U "},
      {OS_WIN95B, "- 6 R 2,5,13 T 3,4,5 T - 6 R - - U "},
      {OS_WIN98, "8,9 6 R 2,5,13 T 3,4,5 T 8,9 6 R - - U "},
      {OS_WINME, "8,9 6 R 2,5,13 T 3,4,5 T 8,9 6 R - - U "},
      {OS_NT4, "- 7 R 1,2,5 T,D 3,4,5 T - 7,10 R 0,1 V U "},
      {OS_WIN2000, "8,9 7 R 1,2,5 T,D 3,4,5 T 8,9,10 7,10 R 11,12 - U "},
      {OS_WINXP, "8,9 7 R 1,2,5 T,D 3,4,5 T 8,9,10 7,10 R 11,12 - U "},
  };
  for (OsClass os : EVERY_CLASS) EXPECT_EQ(group_members(os), expected.at(os)) << os;
}

TEST(ComputeGroups, SingleCheckGroupsPassNotRequiredOnAndUnsureRanksBelowError) {
  DriverFileTable table;
  for (int i = 0; i < DRIVER_SLOT_COUNT; i++) table.slots[i].status = STATUS_NR;
  table.slots[7].status = STATUS_UNSURE;
  CheckResults r = {STATUS_NR, STATUS_UNSURE, STATUS_NR, STATUS_NR, STATUS_NR};
  GroupStatuses g = compute_groups(OS_WIN2000, table, r);
  EXPECT_EQ(g.status[0], STATUS_AOK);     // members all n/r
  EXPECT_EQ(g.status[1], STATUS_UNSURE);  // slot 7 alone
  EXPECT_EQ(g.status[2], STATUS_NR);      // the Rockey9x result, unchanged
  EXPECT_EQ(g.status[4], STATUS_UNSURE);
  EXPECT_EQ(g.status[12], STATUS_NR);
  table.slots[10].status = STATUS_ERR;
  EXPECT_EQ(compute_groups(OS_WIN2000, table, r).status[8], STATUS_ERR);
}

// The status of one slot holding a file of the given size and UTC date.
DriverStatus judged(OsClass os, int slot_number, std::uint32_t size, std::uint64_t time,
                    int utc_offset_minutes = 0) {
  SimMachine m = bare_machine(os);
  m.utc_offset_minutes = utc_offset_minutes;
  SimHost host(m);
  ProcessValues values = values_for(host);
  RunContext ctx = {host, values};
  DriverFileSlot slot;
  slot.found = true;
  slot.size = size;
  slot.last_write = time;
  evaluate_driver_file(ctx, &slot, slot_number);
  return slot.status;
}

TEST(EvaluateDriverFile, OneAcceptedPairMustMatchInBothSizeAndDate) {
  struct Case {
    OsClass os;
    int slot;
    std::uint32_t size;
    std::uint64_t time;
    DriverStatus expected;
  } cases[] = {
      {OS_WINXP, 9, 23384, sim_file_time(2001, 12, 10, 12),
       STATUS_UNSURE},  // size of one, date of the other
      {OS_WINXP, 9, 23384, sim_file_time(2002, 8, 20, 12), STATUS_AOK},
      {OS_WINXP, 9, 27732, sim_file_time(2001, 12, 10, 12), STATUS_AOK},
      {OS_WINXP, 9, 27732, sim_file_time(2002, 8, 20, 12), STATUS_UNSURE},
      {OS_WIN95B, 13, 11354, sim_file_time(2001, 6, 18, 12), STATUS_AOK},
      {OS_WINME, 13, 11354, sim_file_time(2001, 6, 18, 12), STATUS_UNSURE},
      {OS_WINME, 13, 11354, sim_file_time(2002, 4, 30, 12), STATUS_AOK},
      {OS_WIN98, 13, 11366, sim_file_time(2002, 6, 24, 12), STATUS_AOK},
      {OS_WIN95A, 13, 11354, sim_file_time(2002, 4, 30, 12), STATUS_UNSURE},
      {OS_WIN98, 6, 28252, sim_file_time(2001, 12, 10, 12), STATUS_AOK},
      {OS_WIN98, 6, 28252, sim_file_time(2002, 8, 20, 12), STATUS_AOK},
      {OS_WIN98, 6, 28252, sim_file_time(2002, 8, 21, 12), STATUS_UNSURE},
      {OS_WIN98, 6, 28253, sim_file_time(2001, 12, 10, 12), STATUS_UNSURE},
      // Present where it is not required: n/r whatever it holds.
      {OS_WIN2000, 6, 28252, sim_file_time(2001, 12, 10, 12), STATUS_NR},
      {OS_WINXP, 0, 11776, sim_file_time(1998, 7, 10, 12), STATUS_NR},
      {OS_NT4, 0, 11776, sim_file_time(1998, 7, 10, 12), STATUS_AOK},
      // A 4 GiB file is compared by the low 32 bits the probe keeps.
      {OS_WINXP, 12, 4256, sim_file_time(2000, 11, 28, 12), STATUS_AOK},
      // A time that cannot be converted matches no pair.
      {OS_WINXP, 12, 4256, 0x8000000000000000ull, STATUS_UNSURE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(judged(c.os, c.slot, c.size, c.time), c.expected) << c.os << " slot " << c.slot;
}

TEST(EvaluateDriverFile, TheDateIsTheLocalDateWithTodaysOffset) {
  std::uint64_t late = sim_file_time(2000, 11, 27, 23, 30);
  EXPECT_EQ(judged(OS_WINXP, 12, 4256, late, 0), STATUS_UNSURE);
  EXPECT_EQ(judged(OS_WINXP, 12, 4256, late, 60), STATUS_AOK);
}

TEST(EvaluateDriverFile, MissingFilesAreErrorsOnlyWhereRequired) {
  const char* expected_on[] = {
      // slot 0 to 13: E error (required), N not required
      "NNEEEENNNNNNNN",  // unsupported: no set holds it
      "NNEEEENNNNNNNN",  // another platform
      "NNEEEEENNNNNNE",  // 95A
      "NNEEEEENNNNNNE",  // 95B
      "NNEEEEENEENNNE",  // 98
      "NNEEEEENEENNNE",  // Me
      "NNEEEENNNNNNNN",  // NT 3.51
      "EEEEEENENNENNN",  // NT 4
      "NEEEEENEEEEEEN",  // 2000
      "NEEEEENEEEEEEN",  // XP
  };
  int i = 0;
  for (OsClass os : EVERY_CLASS) {
    SimMachine m = bare_machine(os);
    SimHost host(m);
    ProcessValues values = values_for(host);
    values.sys_os = os;
    RunContext ctx = {host, values};
    std::string statuses;
    for (int slot = 0; slot < DRIVER_SLOT_COUNT; slot++) {
      DriverFileSlot s;
      evaluate_driver_file(ctx, &s, slot);
      statuses += s.status == STATUS_ERR ? 'E' : s.status == STATUS_NR ? 'N' : '?';
    }
    EXPECT_EQ(statuses, expected_on[i++]) << os;
  }
}

TEST(ShowGroupIcons, EveryGroupGoesToItsControl) {
  GroupStatuses g;
  for (int i = 0; i < GROUP_COUNT; i++) g.status[i] = i % 4 + 1;
  IconRecorder icons;
  show_group_icons(icons, g);
  const int ids[] = {3053, 3054, 3055, 3056, 3057, 3058, 3059, 3061, 3062, 3063, 3064, 3065, 3066};
  ASSERT_EQ(icons.shown.size(), 13u);
  for (int i = 0; i < GROUP_COUNT; i++) {
    EXPECT_EQ(icons.shown[i].first, ids[i]);
    EXPECT_EQ(icons.shown[i].second, i % 4 + 1);
  }
}

}  // namespace
