// recording_host.cpp: the answers that Dorvik's reads got, kept for the report.

#include "recording_host.h"

namespace {

// A value larger than this is not a configuration value; it is left out.
const std::uint32_t LARGEST_RECORDED_VALUE = 1 << 20;

}  // namespace

bool RecordingHost::read_os_version(OsVersionRecord* out) {
  version_read = inner_.read_os_version(out);
  if (version_read) version = *out;
  return version_read;
}

bool RecordingHost::read_locale_info(std::uint32_t lctype, std::uint32_t capacity,
                                     std::string* out) {
  bool readable = inner_.read_locale_info(lctype, capacity, out);
  locale.push_back({.lctype = lctype, .readable = readable, .text = readable ? *out : ""});
  return readable;
}

RecordedKey& RecordingHost::key_record(const std::string& path) {
  for (RecordedKey& key : keys)
    if (key.path == path) return key;
  keys.push_back({.path = path, .values = {}});
  return keys.back();
}

std::uint32_t RecordingHost::reg_open(const std::string& path, RegistryAccess access,
                                      HostHandle* key) {
  std::uint32_t error = inner_.reg_open(path, access, key);
  if (error == HOSTERR_SUCCESS && *key != NO_HANDLE) {
    open_keys_[*key] = path;
    key_record(path);
  }
  return error;
}

bool RecordingHost::read_whole_value(HostHandle key, const std::string& name,
                                     std::vector<std::uint8_t>* out) {
  for (std::uint32_t capacity = 512; capacity <= LARGEST_RECORDED_VALUE; capacity *= 2) {
    out->assign(capacity, 0);
    std::uint32_t size = 0;
    std::uint32_t error = inner_.reg_query_value(key, name, out->data(), capacity, &size);
    if (error == HOSTERR_SUCCESS) {
      out->resize(size);
      return true;
    }
    if (error != HOSTERR_MORE_DATA) return false;
  }
  return false;
}

std::uint32_t RecordingHost::reg_query_value(HostHandle key, const std::string& name, void* data,
                                             std::uint32_t capacity, std::uint32_t* size_read) {
  std::uint32_t error = inner_.reg_query_value(key, name, data, capacity, size_read);
  auto open = open_keys_.find(key);
  if (open == open_keys_.end()) return error;
  RecordedKey& record = key_record(open->second);
  for (const auto& value : record.values)
    if (value.first == name) return error;
  std::vector<std::uint8_t> bytes;
  if (error == HOSTERR_SUCCESS) {
    const std::uint8_t* read = static_cast<const std::uint8_t*>(data);
    bytes.assign(read, read + *size_read);
  } else if (error != HOSTERR_MORE_DATA || !read_whole_value(key, name, &bytes)) {
    return error;  // absent or unreadable: the simulated machine lacks it too
  }
  record.values.push_back({name, bytes});
  return error;
}

void RecordingHost::reg_close(HostHandle key) {
  open_keys_.erase(key);
  inner_.reg_close(key);
}

HostHandle RecordingHost::load_library(const std::string& name) {
  HostHandle library = inner_.load_library(name);
  tmex.asked = true;
  tmex.loaded = library != NO_HANDLE;
  return library;
}

HostHandle RecordingHost::find_function(HostHandle library, const std::string& name,
                                        std::uint32_t* last_error) {
  HostHandle function = inner_.find_function(library, name, last_error);
  tmex.has_function = function != NO_HANDLE;
  tmex.lookup_error = tmex.has_function ? 0 : *last_error;
  return function;
}

std::uint32_t RecordingHost::call_tm_get_type_version(HostHandle function, std::int16_t port_type,
                                                      char* buffer, std::size_t capacity) {
  std::uint32_t result = inner_.call_tm_get_type_version(function, port_type, buffer, capacity);
  tmex.answers.push_back({port_type, static_cast<std::uint16_t>(result & 0xFFFF)});
  return result;
}

std::uint32_t RecordingHost::open_service_manager(HostHandle* manager) {
  std::uint32_t error = inner_.open_service_manager(manager);
  service.asked = true;
  service.manager_error = error;
  return error;
}

std::uint32_t RecordingHost::open_service(HostHandle manager, const std::string& name,
                                          HostHandle* handle) {
  std::uint32_t error = inner_.open_service(manager, name, handle);
  service.service_asked = true;
  service.service_error = error;
  return error;
}

bool RecordingHost::query_service_state(HostHandle handle, std::uint32_t* state) {
  service.state_read = inner_.query_service_state(handle, state);
  service.state = service.state_read ? *state : 0;
  return service.state_read;
}
