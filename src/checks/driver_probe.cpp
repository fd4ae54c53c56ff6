// driver_probe.cpp: looking up one driver file and writing its line.

#include "checks/driver_table.h"
#include "checks/failure_texts.h"
#include "checks/registry_values.h"
#include "report/text.h"

namespace {

const char* directory_template(DirectoryFamily family, OsClass os) {
  switch (family) {
    case DIR_WINDOWS: return "%s\\%s";
    case DIR_SYSTEM: return os_in(WIN9X_CLASSES, os) ? "%s\\SYSTEM\\%s" : "%s\\SYSTEM32\\%s";
    case DIR_DRIVERS: return "%s\\SYSTEM32\\DRIVERS\\%s";
    case DIR_INF: return "%s\\INF\\%s";
  }
  return "%s\\%s";
}

// A text sub-block up to its terminator, never past the length reported.
std::string block_text(const void* data, std::uint32_t length) {
  const char* text = static_cast<const char*>(data);
  std::size_t n = 0;
  while (n < length && text[n] != '\0') n++;
  return std::string(text, n);
}

}  // namespace

void probe_driver_file(const RunContext& ctx, DriverFileSlot* slot, const char* name,
                       DirectoryFamily family) {
  slot->name = name;
  slot->found = false;
  slot->version.clear();
  if (!locate_driver_file(ctx, slot, family)) return;
  read_file_version(ctx.host, slot);
  slot->shared_count = read_shared_use_count(ctx.host, slot->path);
}

bool locate_driver_file(const RunContext& ctx, DriverFileSlot* slot, DirectoryFamily family) {
  slot->path = format_text(directory_template(family, ctx.values.sys_os),
                           ctx.values.windows_dir.c_str(), slot->name.c_str());
  DirectoryEntry entry = {};
  // Absent or not looked at, the report has only "Not Found" to say.
  if (ctx.host.find_directory_entry(slot->path, &entry) != HOSTERR_SUCCESS) return false;
  slot->size = entry.size_low;
  slot->last_write = entry.last_write_utc;
  slot->found = true;
  return true;
}

void read_file_version(Host& host, DriverFileSlot* slot) {
  std::uint32_t size = host.version_info_size(slot->path);
  if (size == 0) {
    slot->version = UNKNOWN_TEXT;
    return;
  }
  HostHandle block = host.version_info_open(slot->path, size);
  if (block == NO_HANDLE) return;  // unreadable: the version text stays empty

  const void* data = nullptr;
  std::uint32_t length = 0;
  // A table too short to hold one entry has no first translation to try.
  if (!host.version_info_query(block, "\\VarFileInfo\\Translation", &data, &length) || length < 4) {
    slot->version = NO_CODE_PAGE_TEXT;
  } else {
    const unsigned char* entry = static_cast<const unsigned char*>(data);
    unsigned language = entry[0] | entry[1] << 8;
    unsigned code_page = entry[2] | entry[3] << 8;
    std::string name = format_text("\\StringFileInfo\\%04X%04X\\FileVersion", language, code_page);
    if (host.version_info_query(block, name, &data, &length))
      slot->version = block_text(data, length);
    else
      slot->version = UNKNOWN_TEXT;
  }
  host.version_info_close(block);
}

std::int32_t read_shared_use_count(Host& host, const std::string& path) {
  RegistryKey key(host);
  std::uint32_t count = 0;
  // The value's name is the full path; the registry matches it in any case.
  // A stored 0xFFFFFFFF reads as unknown too.
  if (!key.open(SHARED_DLLS_KEY, REG_ACCESS_READ) || !key.read_number(path, &count))
    return SHARED_COUNT_UNKNOWN;
  return static_cast<std::int32_t>(count);
}

bool file_time_texts(Host& host, std::uint64_t time, std::string* date_text,
                     std::string* time_text) {
  CalendarTime local = {};
  if (!host.utc_to_local_calendar(time, &local)) return false;
  *date_text = format_text("%02u-%02u-%4u", local.month, local.day, local.year);
  *time_text = format_text("%02u:%02u:%02u", local.hour, local.minute, local.second);
  return true;
}

void report_driver_file(Host& host, ReportSink& sink, const DriverFileSlot& slot) {
  const char* status = status_text(slot.status);
  if (!slot.found) {
    report_line(sink, format_text("(%s) %12s %s", status, slot.name.c_str(), NOT_FOUND_TEXT));
    return;
  }
  std::string date, time;
  file_time_texts(host, slot.last_write, &date, &time);
  std::string count = slot.shared_count == SHARED_COUNT_UNKNOWN
                          ? std::string(UNKNOWN_TEXT)
                          : format_text("%u", static_cast<unsigned>(slot.shared_count));
  report_line(sink, format_text("(%s) %12s %7u  %s  Shr-Cnt:%2s  Vers: %s", status,
                                slot.name.c_str(), static_cast<unsigned>(slot.size), date.c_str(),
                                count.c_str(), slot.version.c_str()));
}
