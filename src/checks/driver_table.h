// driver_table.h: the fourteen known driver files and their probes.
//
// Each run probes every slot in slot order: is the file there, its size,
// last-write time, file version and shared-use count. The evaluation
// (evaluation.h) judges a probed slot; report_driver_file writes its line.
#pragma once

#include <cstdint>
#include <string>

#include "checks/run_context.h"
#include "report/report_sink.h"
#include "report/status.h"

const int DRIVER_SLOT_COUNT = 14;
const std::int32_t SHARED_COUNT_UNKNOWN = -1;

// The directories in which driver files are looked for.
enum DirectoryFamily {
  DIR_WINDOWS,  // the Windows directory itself
  DIR_SYSTEM,   // SYSTEM on Windows 95/98/Me, SYSTEM32 elsewhere
  DIR_DRIVERS,  // SYSTEM32\DRIVERS on every class
  DIR_INF       // INF
};

struct DriverFileSpec {
  const char* name;
  DirectoryFamily family;
};

// Slot order is the order of probing and of the report lines.
extern const DriverFileSpec DRIVER_FILES[DRIVER_SLOT_COUNT];

struct DriverFileSlot {
  DriverStatus status = 0;
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
