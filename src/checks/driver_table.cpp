// driver_table.cpp: the fourteen driver files, one row each.

#include "checks/driver_table.h"

const char SHARED_DLLS_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

namespace {

constexpr OsClassSet NT4_ONLY = os_classes({OS_NT4});
constexpr OsClassSet WIN95_CLASSES = os_classes({OS_WIN95A, OS_WIN95B});
constexpr OsClassSet WIN98_AND_ME = os_classes({OS_WIN98, OS_WINME});

}  // namespace

constexpr DriverFileRow DRIVER_FILES[DRIVER_SLOT_COUNT] = {
    {.slot = SLOT_DOWNTVDD_DLL,
     .name = "Downtvdd.dll",
     .family = DIR_SYSTEM,
     .required_on = NT4_ONLY,
     .accepted = {{.size = 11776, .date = "07-10-1998"}},
     .groups = {{.group = GROUP_16_IBUTTON_PARALLEL_DRIVER}}},
    {.slot = SLOT_DS1410D_SYS,
     .name = "Ds1410d.sys",
     .family = DIR_DRIVERS,
     .required_on = NT_CLASSES,
     .accepted = {{.size = 6592, .date = "06-18-2001"}},
     // The 16-bit iButton drivers are the UserPort files on Windows 2000 and XP.
     .groups = {{.group = GROUP_32_IBUTTON_PARALLEL_DRIVER},
                {.group = GROUP_16_IBUTTON_PARALLEL_DRIVER, .on = NT4_ONLY}}},
    {.slot = SLOT_IB10E32_DLL,
     .name = "Ib10e32.dll",
     .family = DIR_SYSTEM,
     .required_on = EVERY_CLASS,
     .accepted = {{.size = 86016, .date = "07-02-2001"}},
     .groups = {{.group = GROUP_32_IBUTTON_PARALLEL_DRIVER}}},
    {.slot = SLOT_IB97E32_DLL,
     .name = "Ib97e32.dll",
     .family = DIR_SYSTEM,
     .required_on = EVERY_CLASS,
     .accepted = {{.size = 90112, .date = "06-18-2001"}},
     .groups = {{.group = GROUP_32_IBUTTON_SERIAL_DRIVER}}},
    {.slot = SLOT_IB97U32_DLL,
     .name = "Ib97u32.dll",
     .family = DIR_SYSTEM,
     .required_on = EVERY_CLASS,
     .accepted = {{.size = 94208, .date = "06-18-2001"}},
     .groups = {{.group = GROUP_32_IBUTTON_SERIAL_DRIVER}}},
    {.slot = SLOT_IBFS32_DLL,
     .name = "Ibfs32.dll",
     .family = DIR_SYSTEM,
     .required_on = EVERY_CLASS,
     .accepted = {{.size = 131072, .date = "10-03-2001"}},
     .groups = {{.group = GROUP_32_IBUTTON_PARALLEL_DRIVER},
                {.group = GROUP_32_IBUTTON_SERIAL_DRIVER}}},
    {.slot = SLOT_ROCKEY9X_VXD,
     .name = "Rockey9x.vxd",
     .family = DIR_SYSTEM,
     .required_on = WIN9X_CLASSES,
     .accepted = {{.size = 28252, .date = "12-10-2001"}, {.size = 28252, .date = "08-20-2002"}},
     .groups = {{.group = GROUP_32_ROCKEY_PARALLEL_DRIVER},
                {.group = GROUP_16_ROCKEY_PARALLEL_DRIVER}}},
    {.slot = SLOT_ROCKEYNT_SYS,
     .name = "Rockeynt.sys",
     .family = DIR_DRIVERS,
     .required_on = NT_CLASSES,
     .accepted = {{.size = 18223, .date = "12-10-2001"}},
     .groups = {{.group = GROUP_32_ROCKEY_PARALLEL_DRIVER},
                {.group = GROUP_16_ROCKEY_PARALLEL_DRIVER}}},
    {.slot = SLOT_ROCKUSB_INF,
     .name = "Rockusb.inf",
     .family = DIR_INF,
     .required_on = USB_CLASSES,
     .accepted = {{.size = 2098, .date = "12-10-2001"}},
     .groups = {{.group = GROUP_32_ROCKEY_USB_DRIVER}, {.group = GROUP_16_ROCKEY_USB_DRIVER}}},
    {.slot = SLOT_ROCKUSB_SYS,
     .name = "Rockusb.sys",
     .family = DIR_DRIVERS,
     .required_on = USB_CLASSES,
     .accepted = {{.size = 27732, .date = "12-10-2001"}, {.size = 23384, .date = "08-20-2002"}},
     .groups = {{.group = GROUP_32_ROCKEY_USB_DRIVER}, {.group = GROUP_16_ROCKEY_USB_DRIVER}}},
    {.slot = SLOT_ROCKVDD_DLL,
     .name = "Rockvdd.dll",
     .family = DIR_SYSTEM,
     .required_on = NT_CLASSES,
     .accepted = {{.size = 10752, .date = "12-10-2001"}},
     .groups = {{.group = GROUP_16_ROCKEY_USB_DRIVER}, {.group = GROUP_16_ROCKEY_PARALLEL_DRIVER}}},
    {.slot = SLOT_USERPORT_EXE,
     .name = "Userport.exe",
     .family = DIR_WINDOWS,
     .required_on = W2K_CLASSES,
     .accepted = {{.size = 11776, .date = "05-29-2001"}},
     .groups = {{.group = GROUP_16_IBUTTON_PARALLEL_DRIVER}}},
    {.slot = SLOT_USERPORT_SYS,
     .name = "Userport.sys",
     .family = DIR_DRIVERS,
     .required_on = W2K_CLASSES,
     .accepted = {{.size = 4256, .date = "11-28-2000"}},
     .groups = {{.group = GROUP_16_IBUTTON_PARALLEL_DRIVER}}},
    {.slot = SLOT_VSAUTHD_VXD,
     .name = "Vsauthd.vxd",
     .family = DIR_SYSTEM,
     .required_on = WIN9X_CLASSES,
     .accepted = {{.size = 11354, .date = "06-18-2001", .on = WIN95_CLASSES},
                  {.size = 11354, .date = "04-30-2002", .on = WIN98_AND_ME},
                  {.size = 11366, .date = "06-24-2002"}},
     .groups = {{.group = GROUP_32_IBUTTON_PARALLEL_DRIVER}}},
};

namespace {

// A row left out, or one out of slot order, stops the build.
constexpr bool rows_in_slot_order() {
  for (int i = 0; i < DRIVER_SLOT_COUNT; i++)
    if (DRIVER_FILES[i].slot != i || DRIVER_FILES[i].name == nullptr) return false;
  return true;
}
static_assert(rows_in_slot_order(), "DRIVER_FILES holds one row per slot, in slot order");

}  // namespace

bool file_required(DriverSlot slot, OsClass os) {
  return os_in(DRIVER_FILES[slot].required_on, os);
}

bool pair_accepted_on(const AcceptedPair& pair, OsClass os) {
  return pair.date != nullptr && os_in(pair.on, os);
}

bool file_in_group(DriverSlot slot, DriverGroup group, OsClass os) {
  if (!file_required(slot, os)) return false;
  for (const GroupMembership& m : DRIVER_FILES[slot].groups)
    if (m.group == group && os_in(m.on, os)) return true;
  return false;
}
