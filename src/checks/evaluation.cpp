// evaluation.cpp: driver file expectations and the group rules.

#include "checks/evaluation.h"

#include "app/dialog_ids.h"
#include "report/text.h"

namespace {

struct AcceptedPair {
  std::uint32_t size;
  const char* date;  // month-day-year, local
};

// Which classes need a slot's file.
enum Requirement { REQ_NT4_ONLY, REQ_NT, REQ_EVERY_CLASS, REQ_WIN9X, REQ_USB, REQ_W2K };

struct DriverExpectation {
  Requirement required_on;
  AcceptedPair pairs[2];
  int pair_count;
};

// By slot. "Vsauthd.vxd" (slot 13) has pairs per class: see accepted_pairs.
const DriverExpectation EXPECTATIONS[DRIVER_SLOT_COUNT] = {
    {REQ_NT4_ONLY, {{11776, "07-10-1998"}}, 1},                      // Downtvdd.dll
    {REQ_NT, {{6592, "06-18-2001"}}, 1},                             // Ds1410d.sys
    {REQ_EVERY_CLASS, {{86016, "07-02-2001"}}, 1},                   // Ib10e32.dll
    {REQ_EVERY_CLASS, {{90112, "06-18-2001"}}, 1},                   // Ib97e32.dll
    {REQ_EVERY_CLASS, {{94208, "06-18-2001"}}, 1},                   // Ib97u32.dll
    {REQ_EVERY_CLASS, {{131072, "10-03-2001"}}, 1},                  // Ibfs32.dll
    {REQ_WIN9X, {{28252, "12-10-2001"}, {28252, "08-20-2002"}}, 2},  // Rockey9x.vxd
    {REQ_NT, {{18223, "12-10-2001"}}, 1},                            // Rockeynt.sys
    {REQ_USB, {{2098, "12-10-2001"}}, 1},                            // Rockusb.inf
    {REQ_USB, {{27732, "12-10-2001"}, {23384, "08-20-2002"}}, 2},    // Rockusb.sys
    {REQ_NT, {{10752, "12-10-2001"}}, 1},                            // Rockvdd.dll
    {REQ_W2K, {{11776, "05-29-2001"}}, 1},                           // Userport.exe
    {REQ_W2K, {{4256, "11-28-2000"}}, 1},                            // Userport.sys
    {REQ_WIN9X, {{11354, "06-18-2001"}, {11366, "06-24-2002"}}, 2},  // Vsauthd.vxd on 95
};

const int VSAUTHD_SLOT = 13;
const DriverExpectation VSAUTHD_ON_98_AND_ME = {
    REQ_WIN9X, {{11354, "04-30-2002"}, {11366, "06-24-2002"}}, 2};

bool required(Requirement requirement, OsClass os) {
  switch (requirement) {
    case REQ_NT4_ONLY: return os == OS_NT4;
    case REQ_NT: return os_in(NT_CLASSES, os);
    case REQ_EVERY_CLASS: return true;
    case REQ_WIN9X: return os_in(WIN9X_CLASSES, os);
    case REQ_USB: return os_in(USB_CLASSES, os);
    case REQ_W2K: return os_in(W2K_CLASSES, os);
  }
  return true;
}

const DriverExpectation& expectation(int slot, OsClass os) {
  if (slot == VSAUTHD_SLOT && (os == OS_WIN98 || os == OS_WINME)) return VSAUTHD_ON_98_AND_ME;
  return EXPECTATIONS[slot];
}

const char* const SUMMARY_LINES[GROUP_COUNT] = {
    "(%s) 32-Bit Rockey USB Driver Status.",
    "(%s) 32-Bit Rockey Parallel Driver Status.",
    "(%s) 32-Bit Rockey Parallel Registry Status.",
    "(%s) 32-Bit iButton Parallel Driver Status.",
    "(%s) 32-Bit iButton Parallel Registry Status.",
    "(%s) 32-Bit iButton Serial Driver Status.",
    "(%s) 32-Bit iButton Serial Registry Status.",
    "(%s) 16-Bit Rockey USB Driver Status.",
    "(%s) 16-Bit Rockey Parallel Driver Status.",
    "(%s) 16-Bit Rockey Parallel Registry Status.",
    "(%s) 16-Bit iButton Parallel Driver Status.",
    "(%s) 16-Bit iButton Parallel Registry Status.",
    "(%s) 16-Bit iButton Parallel UserPort Status.",
};

}  // namespace

const int GROUP_ICON_CONTROLS[GROUP_COUNT] = {IDC_ICON_32_USB_DRIVERS,
                                              IDC_ICON_32_PAR_ROCKEY_DRIVERS,
                                              IDC_ICON_32_PAR_ROCKEY_REGISTRY,
                                              IDC_ICON_32_PAR_IBUTTON_DRIVERS,
                                              IDC_ICON_32_PAR_IBUTTON_REGISTRY,
                                              IDC_ICON_32_SER_IBUTTON_DRIVERS,
                                              IDC_ICON_32_SER_IBUTTON_REGISTRY,
                                              IDC_ICON_16_USB_DRIVERS,
                                              IDC_ICON_16_PAR_ROCKEY_DRIVERS,
                                              IDC_ICON_16_PAR_ROCKEY_REGISTRY,
                                              IDC_ICON_16_PAR_IBUTTON_DRIVERS,
                                              IDC_ICON_16_PAR_IBUTTON_REGISTRY,
                                              IDC_ICON_16_USERPORT};

void evaluate_driver_file(const RunContext& ctx, DriverFileSlot* slot, int slot_number) {
  const OsClass os = ctx.values.sys_os;
  const DriverExpectation& expected = expectation(slot_number, os);
  if (!required(expected.required_on, os)) {
    slot->status = STATUS_NR;
    return;
  }
  if (!slot->found) {
    slot->status = STATUS_ERR;
    return;
  }
  // A time that cannot be converted leaves the date empty, which matches no pair.
  std::string date, time;
  file_time_texts(ctx.host, slot->last_write, &date, &time);
  slot->status = STATUS_UNSURE;
  for (int i = 0; i < expected.pair_count; i++)
    if (slot->size == expected.pairs[i].size && date == expected.pairs[i].date)
      slot->status = STATUS_AOK;
}

DriverStatus combine(DriverStatus a) { return combine(a, STATUS_NR, STATUS_NR); }
DriverStatus combine(DriverStatus a, DriverStatus b) { return combine(a, b, STATUS_NR); }
DriverStatus combine(DriverStatus a, DriverStatus b, DriverStatus c) {
  if (a == STATUS_ERR || b == STATUS_ERR || c == STATUS_ERR) return STATUS_ERR;
  if (a == STATUS_UNSURE || b == STATUS_UNSURE || c == STATUS_UNSURE) return STATUS_UNSURE;
  return STATUS_AOK;
}

GroupStatuses compute_groups(OsClass os, const DriverFileTable& table, const CheckResults& r) {
  auto slot = [&table](int n) { return table.slots[n].status; };
  const bool win9x = os_in(WIN9X_CLASSES, os);
  GroupStatuses g;
  // 32-bit programs.
  g.status[0] = os_in(USB_CLASSES, os) ? combine(slot(8), slot(9)) : STATUS_NR;
  g.status[1] = win9x ? combine(slot(6)) : combine(slot(7));
  g.status[2] = r.rockey9x_registry;
  g.status[3] = win9x ? combine(slot(2), slot(5), slot(13)) : combine(slot(1), slot(2), slot(5));
  g.status[4] = win9x ? r.tmex_registry : combine(r.ds1410d_registry, r.tmex_registry);
  g.status[5] = combine(slot(3), slot(4), slot(5));
  g.status[6] = r.tmex_registry;
  // 16-bit programs.
  if (os == OS_WIN98 || os == OS_WINME)
    g.status[7] = combine(slot(8), slot(9));
  else if (os_in(W2K_CLASSES, os))
    g.status[7] = combine(slot(8), slot(9), slot(10));
  else
    g.status[7] = STATUS_NR;
  g.status[8] = win9x ? combine(slot(6)) : combine(slot(7), slot(10));
  g.status[9] = r.rockey9x_registry;
  if (win9x)
    g.status[10] = STATUS_NR;
  else if (os == OS_NT4)
    g.status[10] = combine(slot(0), slot(1));
  else
    g.status[10] = combine(slot(11), slot(12));
  g.status[11] = os == OS_NT4 ? r.vdd_registry : STATUS_NR;
  g.status[12] = r.userport_service;
  return g;
}

GroupStatuses report_groups(const RunContext& ctx, ReportSink& sink, const DriverFileTable& table,
                            const CheckResults& results) {
  GroupStatuses groups = compute_groups(ctx.values.sys_os, table, results);
  for (int i = 0; i < GROUP_COUNT; i++)
    report_line(sink, format_text(SUMMARY_LINES[i], status_text(groups.status[i])));
  return groups;
}

void show_group_icons(GroupIconPanel& panel, const GroupStatuses& groups) {
  for (int i = 0; i < GROUP_COUNT; i++)
    panel.show_status_icon(GROUP_ICON_CONTROLS[i], groups.status[i]);
}
