// driver_table.h: the fourteen known driver files and their probes.
//
// One row per file holds what is known of it: its name and folder, the
// classes that require it, the sizes and dates it may have, the groups it
// belongs to. Each run probes every slot in slot order: is the file there,
// its size, last-write time, file version and shared-use count. The
// evaluation (evaluation.h) judges a probed slot; report_driver_file writes
// its line.
#pragma once

#include <cstdint>
#include <string>

#include "checks/run_context.h"
#include "report/report_sink.h"
#include "report/status.h"
#include "startup/os_class.h"

// The fourteen slots, in the order of probing and of the report lines.
enum DriverSlot : int {
  SLOT_DOWNTVDD_DLL,
  SLOT_DS1410D_SYS,
  SLOT_IB10E32_DLL,
  SLOT_IB97E32_DLL,
  SLOT_IB97U32_DLL,
  SLOT_IBFS32_DLL,
  SLOT_ROCKEY9X_VXD,
  SLOT_ROCKEYNT_SYS,
  SLOT_ROCKUSB_INF,
  SLOT_ROCKUSB_SYS,
  SLOT_ROCKVDD_DLL,
  SLOT_USERPORT_EXE,
  SLOT_USERPORT_SYS,
  SLOT_VSAUTHD_VXD,
  DRIVER_SLOT_COUNT
};

// The thirteen driver groups, in the order of the summary lines and icons.
enum DriverGroup : int {
  GROUP_32_ROCKEY_USB_DRIVER,
  GROUP_32_ROCKEY_PARALLEL_DRIVER,
  GROUP_32_ROCKEY_PARALLEL_REGISTRY,
  GROUP_32_IBUTTON_PARALLEL_DRIVER,
  GROUP_32_IBUTTON_PARALLEL_REGISTRY,
  GROUP_32_IBUTTON_SERIAL_DRIVER,
  GROUP_32_IBUTTON_SERIAL_REGISTRY,
  GROUP_16_ROCKEY_USB_DRIVER,
  GROUP_16_ROCKEY_PARALLEL_DRIVER,
  GROUP_16_ROCKEY_PARALLEL_REGISTRY,
  GROUP_16_IBUTTON_PARALLEL_DRIVER,
  GROUP_16_IBUTTON_PARALLEL_REGISTRY,
  GROUP_16_IBUTTON_USERPORT,
  GROUP_COUNT,
  NO_GROUP = -1
};

const std::int32_t SHARED_COUNT_UNKNOWN = -1;

// The key whose values, named by a file's full path, hold its shared-use count.
extern const char SHARED_DLLS_KEY[];

// The directories in which driver files are looked for.
enum DirectoryFamily {
  DIR_WINDOWS,  // the Windows directory itself
  DIR_SYSTEM,   // SYSTEM on Windows 95/98/Me, SYSTEM32 elsewhere
  DIR_DRIVERS,  // SYSTEM32\DRIVERS on every class
  DIR_INF       // INF
};

// A size and date that a correct file has, on the classes named.
struct AcceptedPair {
  std::uint32_t size = 0;
  const char* date = nullptr;  // month-day-year, local; none marks an unused entry
  OsClassSet on = EVERY_CLASS;
};

// A group the file is a member of, on the classes named; on every class it
// counts only where the file is required and the group is.
struct GroupMembership {
  DriverGroup group = NO_GROUP;
  OsClassSet on = EVERY_CLASS;
};

// Everything known of one driver file.
struct DriverFileRow {
  DriverSlot slot;
  const char* name;
  DirectoryFamily family;
  OsClassSet required_on;
  AcceptedPair accepted[3];
  GroupMembership groups[2];
};

// One row per slot, in slot order (driver_table.cpp checks both at compile time).
extern const DriverFileRow DRIVER_FILES[DRIVER_SLOT_COUNT];

// True when the file of `slot` is required on `os`.
bool file_required(DriverSlot slot, OsClass os);
// True when `pair` is an entry of its row that `os` accepts.
bool pair_accepted_on(const AcceptedPair& pair, OsClass os);
// True when the file of `slot` is a member of `group` on `os`.
bool file_in_group(DriverSlot slot, DriverGroup group, OsClass os);

struct DriverFileSlot {
  DriverStatus status = {};
  std::string name;
  bool found = false;
  // The next four mean something only while `found` is set.
  std::int32_t shared_count = 0;
  std::uint32_t size = 0;        // low 32 bits of the size
  std::uint64_t last_write = 0;  // UTC file time
  std::string version;           // FileVersion text or a placeholder, held whole
  std::string path;              // the full path the latest probe looked up
};

// Kept by the caller from run to run; every run rewrites every slot.
struct DriverFileTable {
  DriverFileSlot slots[DRIVER_SLOT_COUNT];
};

void probe_driver_file(const RunContext& ctx, DriverFileSlot* slot, const char* name,
                       DirectoryFamily family);
bool locate_driver_file(const RunContext& ctx, DriverFileSlot* slot, DirectoryFamily family);
void read_file_version(Host& host, DriverFileSlot* slot);
std::int32_t read_shared_use_count(Host& host, const std::string& path);

// The local date ("%02u-%02u-%4u", month first) and time of day of a UTC file
// time, converted with the offset from UTC in force now. False when the
// conversion fails; the texts are then left as they were.
bool file_time_texts(Host& host, std::uint64_t time, std::string* date_text,
                     std::string* time_text);

void report_driver_file(Host& host, ReportSink& sink, const DriverFileSlot& slot);
