// host_calls.cpp: recording a status run's host calls, and making them again.

#include "host_calls.h"

#include <utility>

const char* host_call_name(HostCallKind kind) {
  switch (kind) {
    case CALL_READ_OS_VERSION: return "read_os_version";
    case CALL_READ_LOCALE_INFO: return "read_locale_info";
    case CALL_LOCAL_TIME: return "local_time";
    case CALL_MODULE_PATH: return "module_path";
    case CALL_WINDOWS_DIRECTORY: return "windows_directory";
    case CALL_TEMP_PATH: return "temp_path";
    case CALL_UPPER_CASE: return "upper_case";
    case CALL_LOWER_CASE: return "lower_case";
    case CALL_IS_LEAD_BYTE: return "is_lead_byte";
    case CALL_REG_OPEN: return "reg_open";
    case CALL_REG_QUERY_VALUE: return "reg_query_value";
    case CALL_REG_CLOSE: return "reg_close";
    case CALL_FIND_DIRECTORY_ENTRY: return "find_directory_entry";
    case CALL_UTC_TO_LOCAL_CALENDAR: return "utc_to_local_calendar";
    case CALL_VERSION_INFO_SIZE: return "version_info_size";
    case CALL_VERSION_INFO_OPEN: return "version_info_open";
    case CALL_VERSION_INFO_QUERY: return "version_info_query";
    case CALL_VERSION_INFO_CLOSE: return "version_info_close";
    case CALL_SET_ERROR_MODE: return "set_error_mode";
    case CALL_LOAD_LIBRARY: return "load_library";
    case CALL_FIND_FUNCTION: return "find_function";
    case CALL_TM_GET_TYPE_VERSION: return "call_tm_get_type_version";
    case CALL_FREE_LIBRARY: return "free_library";
    case CALL_OPEN_SERVICE_MANAGER: return "open_service_manager";
    case CALL_OPEN_SERVICE: return "open_service";
    case CALL_QUERY_SERVICE_STATE: return "query_service_state";
    case CALL_CLOSE_SERVICE_HANDLE: return "close_service_handle";
    case HOST_CALL_KIND_COUNT: break;
  }
  return "?";
}

void CallRecordingHost::add(HostCallKind kind, const std::string& text, std::uint64_t number,
                            HostHandle handle, HostHandle handed_out, std::uint32_t outcome) {
  calls_->push_back({.kind = kind,
                     .text = text,
                     .number = number,
                     .handle = handle,
                     .handed_out = handed_out,
                     .outcome = outcome});
}

bool CallRecordingHost::read_os_version(OsVersionRecord* out) {
  bool ok = inner_.read_os_version(out);
  add(CALL_READ_OS_VERSION, "", 0, NO_HANDLE, NO_HANDLE, ok);
  return ok;
}

bool CallRecordingHost::read_locale_info(std::uint32_t lctype, std::uint32_t capacity,
                                         std::string* out) {
  bool ok = inner_.read_locale_info(lctype, capacity, out);
  add(CALL_READ_LOCALE_INFO, "", std::uint64_t{capacity} << 32 | lctype, NO_HANDLE, NO_HANDLE, ok);
  return ok;
}

CalendarTime CallRecordingHost::local_time() {
  add(CALL_LOCAL_TIME, "", 0, NO_HANDLE, NO_HANDLE, 0);
  return inner_.local_time();
}

std::string CallRecordingHost::module_path() {
  std::string path = inner_.module_path();
  add(CALL_MODULE_PATH, "", 0, NO_HANDLE, NO_HANDLE, static_cast<std::uint32_t>(path.size()));
  return path;
}

std::string CallRecordingHost::windows_directory() {
  std::string path = inner_.windows_directory();
  add(CALL_WINDOWS_DIRECTORY, "", 0, NO_HANDLE, NO_HANDLE, static_cast<std::uint32_t>(path.size()));
  return path;
}

std::string CallRecordingHost::temp_path() {
  std::string path = inner_.temp_path();
  add(CALL_TEMP_PATH, "", 0, NO_HANDLE, NO_HANDLE, static_cast<std::uint32_t>(path.size()));
  return path;
}

void CallRecordingHost::upper_case(std::string* text) {
  add(CALL_UPPER_CASE, *text, 0, NO_HANDLE, NO_HANDLE, 0);
  inner_.upper_case(text);
}

void CallRecordingHost::lower_case(std::string* text) {
  add(CALL_LOWER_CASE, *text, 0, NO_HANDLE, NO_HANDLE, 0);
  inner_.lower_case(text);
}

bool CallRecordingHost::is_lead_byte(unsigned char byte) {
  bool lead = inner_.is_lead_byte(byte);
  add(CALL_IS_LEAD_BYTE, "", byte, NO_HANDLE, NO_HANDLE, lead);
  return lead;
}

std::uint32_t CallRecordingHost::reg_open(const std::string& path, RegistryAccess access,
                                          HostHandle* key) {
  std::uint32_t error = inner_.reg_open(path, access, key);
  add(CALL_REG_OPEN, path, access, NO_HANDLE, error == HOSTERR_SUCCESS ? *key : NO_HANDLE, error);
  return error;
}

std::uint32_t CallRecordingHost::reg_query_value(HostHandle key, const std::string& name,
                                                 void* data, std::uint32_t capacity,
                                                 std::uint32_t* size_read) {
  std::uint32_t error = inner_.reg_query_value(key, name, data, capacity, size_read);
  add(CALL_REG_QUERY_VALUE, name, capacity, key, NO_HANDLE, error);
  return error;
}

void CallRecordingHost::reg_close(HostHandle key) {
  add(CALL_REG_CLOSE, "", 0, key, NO_HANDLE, 0);
  inner_.reg_close(key);
}

std::uint32_t CallRecordingHost::find_directory_entry(const std::string& path,
                                                      DirectoryEntry* out) {
  std::uint32_t error = inner_.find_directory_entry(path, out);
  add(CALL_FIND_DIRECTORY_ENTRY, path, 0, NO_HANDLE, NO_HANDLE, error);
  return error;
}

bool CallRecordingHost::utc_to_local_calendar(std::uint64_t utc, CalendarTime* out) {
  bool ok = inner_.utc_to_local_calendar(utc, out);
  add(CALL_UTC_TO_LOCAL_CALENDAR, "", utc, NO_HANDLE, NO_HANDLE, ok);
  return ok;
}

std::uint32_t CallRecordingHost::version_info_size(const std::string& path) {
  std::uint32_t size = inner_.version_info_size(path);
  add(CALL_VERSION_INFO_SIZE, path, 0, NO_HANDLE, NO_HANDLE, size);
  return size;
}

HostHandle CallRecordingHost::version_info_open(const std::string& path, std::uint32_t size) {
  HostHandle block = inner_.version_info_open(path, size);
  add(CALL_VERSION_INFO_OPEN, path, size, NO_HANDLE, block, block != NO_HANDLE);
  return block;
}

bool CallRecordingHost::version_info_query(HostHandle block, const std::string& sub_block,
                                           const void** data, std::uint32_t* length) {
  bool ok = inner_.version_info_query(block, sub_block, data, length);
  add(CALL_VERSION_INFO_QUERY, sub_block, 0, block, NO_HANDLE, ok);
  return ok;
}

void CallRecordingHost::version_info_close(HostHandle block) {
  add(CALL_VERSION_INFO_CLOSE, "", 0, block, NO_HANDLE, 0);
  inner_.version_info_close(block);
}

std::uint32_t CallRecordingHost::set_error_mode(std::uint32_t mode) {
  std::uint32_t previous = inner_.set_error_mode(mode);
  add(CALL_SET_ERROR_MODE, "", mode, NO_HANDLE, NO_HANDLE, 0);
  return previous;
}

HostHandle CallRecordingHost::load_library(const std::string& name) {
  HostHandle library = inner_.load_library(name);
  add(CALL_LOAD_LIBRARY, name, 0, NO_HANDLE, library, library != NO_HANDLE);
  return library;
}

HostHandle CallRecordingHost::find_function(HostHandle library, const std::string& name,
                                            std::uint32_t* last_error) {
  HostHandle function = inner_.find_function(library, name, last_error);
  add(CALL_FIND_FUNCTION, name, 0, library, function, function != NO_HANDLE);
  return function;
}

std::uint32_t CallRecordingHost::call_tm_get_type_version(HostHandle function,
                                                          std::int16_t port_type, char* buffer,
                                                          std::size_t capacity) {
  std::uint32_t result = inner_.call_tm_get_type_version(function, port_type, buffer, capacity);
  add(CALL_TM_GET_TYPE_VERSION, "", std::uint64_t{capacity} << 16 | std::uint16_t(port_type),
      function, NO_HANDLE, result & 0xFFFF);
  return result;
}

void CallRecordingHost::free_library(HostHandle library) {
  add(CALL_FREE_LIBRARY, "", 0, library, NO_HANDLE, 0);
  inner_.free_library(library);
}

std::uint32_t CallRecordingHost::open_service_manager(HostHandle* manager) {
  std::uint32_t error = inner_.open_service_manager(manager);
  add(CALL_OPEN_SERVICE_MANAGER, "", 0, NO_HANDLE, error == HOSTERR_SUCCESS ? *manager : NO_HANDLE,
      error);
  return error;
}

std::uint32_t CallRecordingHost::open_service(HostHandle manager, const std::string& name,
                                              HostHandle* service) {
  std::uint32_t error = inner_.open_service(manager, name, service);
  add(CALL_OPEN_SERVICE, name, 0, manager, error == HOSTERR_SUCCESS ? *service : NO_HANDLE, error);
  return error;
}

bool CallRecordingHost::query_service_state(HostHandle service, std::uint32_t* state) {
  bool ok = inner_.query_service_state(service, state);
  add(CALL_QUERY_SERVICE_STATE, "", 0, service, NO_HANDLE, ok);
  return ok;
}

void CallRecordingHost::close_service_handle(HostHandle handle) {
  add(CALL_CLOSE_SERVICE_HANDLE, "", 0, handle, NO_HANDLE, 0);
  inner_.close_service_handle(handle);
}

namespace {

// Recorded handles and the replay's own in their place; a run holds a few
// at a time, so a short list searched from its end is enough.
struct HandleMap {
  std::vector<std::pair<HostHandle, HostHandle>> pairs;

  void add(HostHandle recorded, HostHandle live) {
    if (recorded != NO_HANDLE) pairs.push_back({recorded, live});
  }
  HostHandle live(HostHandle recorded) const {
    for (auto it = pairs.rbegin(); it != pairs.rend(); ++it)
      if (it->first == recorded) return it->second;
    return recorded;
  }
};

// The one call, its result folded as the recording folds it.
std::uint32_t make_call(Host& host, const HostCall& call, HandleMap& handles,
                        std::vector<char>& buffer) {
  HostHandle handle = handles.live(call.handle);
  HostHandle out = NO_HANDLE;
  std::uint32_t result = 0;
  switch (call.kind) {
    case CALL_READ_OS_VERSION: {
      OsVersionRecord record;
      return host.read_os_version(&record);
    }
    case CALL_READ_LOCALE_INFO: {
      std::string text;
      return host.read_locale_info(static_cast<std::uint32_t>(call.number),
                                   static_cast<std::uint32_t>(call.number >> 32), &text);
    }
    case CALL_LOCAL_TIME: host.local_time(); return 0;
    case CALL_MODULE_PATH: return static_cast<std::uint32_t>(host.module_path().size());
    case CALL_WINDOWS_DIRECTORY: return static_cast<std::uint32_t>(host.windows_directory().size());
    case CALL_TEMP_PATH: return static_cast<std::uint32_t>(host.temp_path().size());
    case CALL_UPPER_CASE: {
      std::string text = call.text;
      host.upper_case(&text);
      return 0;
    }
    case CALL_LOWER_CASE: {
      std::string text = call.text;
      host.lower_case(&text);
      return 0;
    }
    case CALL_IS_LEAD_BYTE: return host.is_lead_byte(static_cast<unsigned char>(call.number));
    case CALL_REG_OPEN:
      result = host.reg_open(call.text, static_cast<RegistryAccess>(call.number), &out);
      handles.add(call.handed_out, result == HOSTERR_SUCCESS ? out : NO_HANDLE);
      return result;
    case CALL_REG_QUERY_VALUE: {
      std::uint32_t size_read = 0;
      buffer.resize(call.number + 1);
      return host.reg_query_value(handle, call.text, buffer.data(),
                                  static_cast<std::uint32_t>(call.number), &size_read);
    }
    case CALL_REG_CLOSE: host.reg_close(handle); return 0;
    case CALL_FIND_DIRECTORY_ENTRY: {
      DirectoryEntry entry;
      return host.find_directory_entry(call.text, &entry);
    }
    case CALL_UTC_TO_LOCAL_CALENDAR: {
      CalendarTime time;
      return host.utc_to_local_calendar(call.number, &time);
    }
    case CALL_VERSION_INFO_SIZE: return host.version_info_size(call.text);
    case CALL_VERSION_INFO_OPEN:
      out = host.version_info_open(call.text, static_cast<std::uint32_t>(call.number));
      handles.add(call.handed_out, out);
      return out != NO_HANDLE;
    case CALL_VERSION_INFO_QUERY: {
      const void* data = nullptr;
      std::uint32_t length = 0;
      return host.version_info_query(handle, call.text, &data, &length);
    }
    case CALL_VERSION_INFO_CLOSE: host.version_info_close(handle); return 0;
    case CALL_SET_ERROR_MODE:
      host.set_error_mode(static_cast<std::uint32_t>(call.number));
      return 0;
    case CALL_LOAD_LIBRARY:
      out = host.load_library(call.text);
      handles.add(call.handed_out, out);
      return out != NO_HANDLE;
    case CALL_FIND_FUNCTION: {
      std::uint32_t last_error = 0;
      out = host.find_function(handle, call.text, &last_error);
      handles.add(call.handed_out, out);
      return out != NO_HANDLE;
    }
    case CALL_TM_GET_TYPE_VERSION:
      buffer.resize(call.number >> 16);
      return host.call_tm_get_type_version(handle, static_cast<std::int16_t>(call.number & 0xFFFF),
                                           buffer.data(), buffer.size()) &
             0xFFFF;
    case CALL_FREE_LIBRARY: host.free_library(handle); return 0;
    case CALL_OPEN_SERVICE_MANAGER:
      result = host.open_service_manager(&out);
      handles.add(call.handed_out, result == HOSTERR_SUCCESS ? out : NO_HANDLE);
      return result;
    case CALL_OPEN_SERVICE:
      result = host.open_service(handle, call.text, &out);
      handles.add(call.handed_out, result == HOSTERR_SUCCESS ? out : NO_HANDLE);
      return result;
    case CALL_QUERY_SERVICE_STATE: {
      std::uint32_t state = 0;
      return host.query_service_state(handle, &state);
    }
    case CALL_CLOSE_SERVICE_HANDLE: host.close_service_handle(handle); return 0;
    case HOST_CALL_KIND_COUNT: break;
  }
  return 0;
}

}  // namespace

int replay_host_calls(Host& host, const std::vector<HostCall>& calls, ClockFunction clock,
                      double* seconds_by_kind) {
  HandleMap handles;
  std::vector<char> buffer(1024);
  int differences = 0;
  for (const HostCall& call : calls) {
    double start = clock ? clock() : 0;
    std::uint32_t outcome = make_call(host, call, handles, buffer);
    if (clock) seconds_by_kind[call.kind] += clock() - start;
    if (outcome != call.outcome) differences++;
  }
  return differences;
}
