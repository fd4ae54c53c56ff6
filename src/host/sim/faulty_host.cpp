// faulty_host.cpp: passing calls through, and breaking the chosen one.

#include "host/sim/faulty_host.h"

namespace {

// The ways each counted call can fail. A call that only answers yes or no
// (or a handle or none) fails in one way only, whatever the cause.
struct CallFaults {
  const char* call;
  bool faults[HOST_FAULT_KINDS];  // by HostFault
};

const CallFaults CALL_FAULTS[] = {
    //                      absent denied more  other no-handle conversion
    {"reg_open", {true, true, false, true, true, false}},
    {"reg_query_value", {true, true, true, true, false, false}},
    {"find_directory_entry", {true, true, false, true, false, false}},
    {"utc_to_local_calendar", {false, false, false, false, false, true}},
    {"version_info_size", {true, false, false, false, false, false}},
    {"version_info_open", {true, false, false, false, false, false}},
    {"version_info_query", {true, false, false, false, false, false}},
    {"load_library", {true, false, false, false, false, false}},
    {"find_function", {true, true, false, true, false, false}},
    {"open_service_manager", {true, true, false, true, true, false}},
    {"open_service", {true, true, false, true, true, false}},
    {"query_service_state", {true, false, false, false, false, false}},
};

}  // namespace

const char* host_fault_name(HostFault fault) {
  switch (fault) {
    case FAULT_ABSENT: return "absent";
    case FAULT_ACCESS_DENIED: return "access denied";
    case FAULT_MORE_DATA: return "more data";
    case FAULT_OTHER_ERROR: return "other error";
    case FAULT_NO_HANDLE: return "no handle";
    case FAULT_CONVERSION: return "conversion";
  }
  return "?";
}

bool host_fault_applies(const std::string& call, HostFault fault) {
  for (const CallFaults& entry : CALL_FAULTS)
    if (call == entry.call) return entry.faults[fault];
  return false;
}

bool FaultyHost::breaks(const char* call, const std::string& target, const std::string& key_path) {
  calls_.push_back({call, target, key_path, latest_file_});
  if (static_cast<int>(calls_.size()) != fail_at_ || !host_fault_applies(call, fault_))
    return false;
  injected_ = true;
  return true;
}

std::uint32_t FaultyHost::fault_error(std::uint32_t absent_error) const {
  switch (fault_) {
    case FAULT_ACCESS_DENIED: return HOSTERR_ACCESS_DENIED;
    case FAULT_MORE_DATA: return HOSTERR_MORE_DATA;
    case FAULT_OTHER_ERROR: return FAULT_OTHER_ERROR_CODE;
    case FAULT_NO_HANDLE: return HOSTERR_SUCCESS;
    default: return absent_error;
  }
}

std::uint32_t FaultyHost::reg_open(const std::string& path, RegistryAccess access,
                                   HostHandle* key) {
  if (breaks("reg_open", path)) {
    if (fault_ == FAULT_NO_HANDLE) *key = NO_HANDLE;
    return fault_error(HOSTERR_FILE_NOT_FOUND);
  }
  std::uint32_t error = inner_.reg_open(path, access, key);
  if (error == HOSTERR_SUCCESS) key_paths_[*key] = path;
  return error;
}

std::uint32_t FaultyHost::reg_query_value(HostHandle key, const std::string& name, void* data,
                                          std::uint32_t capacity, std::uint32_t* size_read) {
  auto open = key_paths_.find(key);
  if (breaks("reg_query_value", name, open == key_paths_.end() ? "" : open->second))
    return fault_error(HOSTERR_FILE_NOT_FOUND);
  return inner_.reg_query_value(key, name, data, capacity, size_read);
}

void FaultyHost::reg_close(HostHandle key) {
  key_paths_.erase(key);
  inner_.reg_close(key);
}

std::uint32_t FaultyHost::find_directory_entry(const std::string& path, DirectoryEntry* out) {
  latest_file_ = path;
  if (breaks("find_directory_entry", path)) return fault_error(HOSTERR_FILE_NOT_FOUND);
  return inner_.find_directory_entry(path, out);
}

bool FaultyHost::utc_to_local_calendar(std::uint64_t utc, CalendarTime* out) {
  if (breaks("utc_to_local_calendar", latest_file_)) return false;
  return inner_.utc_to_local_calendar(utc, out);
}

std::uint32_t FaultyHost::version_info_size(const std::string& path) {
  if (breaks("version_info_size", path)) return 0;
  return inner_.version_info_size(path);
}

HostHandle FaultyHost::version_info_open(const std::string& path, std::uint32_t size) {
  if (breaks("version_info_open", path)) return NO_HANDLE;
  return inner_.version_info_open(path, size);
}

bool FaultyHost::version_info_query(HostHandle block, const std::string& sub_block,
                                    const void** data, std::uint32_t* length) {
  if (breaks("version_info_query", sub_block)) return false;
  return inner_.version_info_query(block, sub_block, data, length);
}

HostHandle FaultyHost::load_library(const std::string& name) {
  if (breaks("load_library", name)) return NO_HANDLE;
  return inner_.load_library(name);
}

HostHandle FaultyHost::find_function(HostHandle library, const std::string& name,
                                     std::uint32_t* last_error) {
  if (breaks("find_function", name)) {
    *last_error = fault_error(HOSTERR_PROC_NOT_FOUND);
    return NO_HANDLE;
  }
  return inner_.find_function(library, name, last_error);
}

std::uint32_t FaultyHost::open_service_manager(HostHandle* manager) {
  if (breaks("open_service_manager", "")) {
    if (fault_ == FAULT_NO_HANDLE) *manager = NO_HANDLE;
    return fault_error(FAULT_ABSENT_SERVICE_DATABASE);
  }
  return inner_.open_service_manager(manager);
}

std::uint32_t FaultyHost::open_service(HostHandle manager, const std::string& name,
                                       HostHandle* service) {
  if (breaks("open_service", name)) {
    if (fault_ == FAULT_NO_HANDLE) *service = NO_HANDLE;
    return fault_error(HOSTERR_SERVICE_DOES_NOT_EXIST);
  }
  return inner_.open_service(manager, name, service);
}

bool FaultyHost::query_service_state(HostHandle service, std::uint32_t* state) {
  if (breaks("query_service_state", "")) return false;
  return inner_.query_service_state(service, state);
}
