// recording_host.cpp: the answers that Dorvik's reads got, kept for the report.

#include "recording_host.h"

#include <cstdio>

namespace {

// A value in REGEDIT4 form: its quoted name ("@" for the default value) and
// its bytes as binary data.
std::string value_line(const std::string& name, const std::uint8_t* bytes, std::uint32_t size) {
  std::string line = name.empty() ? "@" : "\"";
  for (char c : name) {
    if (c == '\\' || c == '"') line += '\\';
    line += c;
  }
  line += name.empty() ? "=hex:" : "\"=hex:";
  for (std::uint32_t i = 0; i < size; i++) {
    char hex[4];
    std::snprintf(hex, sizeof hex, i ? ",%02x" : "%02x", bytes[i]);
    line += hex;
  }
  return line;
}

}  // namespace

bool RecordingHost::read_os_version(OsVersionRecord* out) {
  bool readable = inner_.read_os_version(out);
  version = readable ? std::to_string(out->platform_id) + " " + std::to_string(out->major_version) +
                           " " + std::to_string(out->minor_version) + " " +
                           std::to_string(out->build_number)
                     : "unreadable";
  return readable;
}

bool RecordingHost::read_locale_info(std::uint32_t lctype, std::uint32_t capacity,
                                     std::string* out) {
  bool readable = inner_.read_locale_info(lctype, capacity, out);
  locale.push_back(std::to_string(lctype) + (readable ? " " + *out : ""));
  return readable;
}

void RecordingHost::add_key_line(const std::string& path) {
  std::string line = "[HKEY_LOCAL_MACHINE\\" + path + "]";
  if (line != latest_key_line_) registry.push_back(line);
  latest_key_line_ = line;
}

std::uint32_t RecordingHost::reg_open(const std::string& path, RegistryAccess access,
                                      HostHandle* key) {
  std::uint32_t error = inner_.reg_open(path, access, key);
  if (error == HOSTERR_SUCCESS && *key != NO_HANDLE) {
    open_keys_[*key] = path;
    add_key_line(path);
  }
  return error;
}

std::uint32_t RecordingHost::reg_query_value(HostHandle key, const std::string& name, void* data,
                                             std::uint32_t capacity, std::uint32_t* size_read) {
  std::uint32_t error = inner_.reg_query_value(key, name, data, capacity, size_read);
  auto open = open_keys_.find(key);
  // A read that fails, whatever the reason, is left out: every check takes
  // any failure of a read as it takes an absent value.
  if (error != HOSTERR_SUCCESS || open == open_keys_.end()) return error;
  add_key_line(open->second);
  registry.push_back(value_line(name, static_cast<const std::uint8_t*>(data), *size_read));
  return error;
}

void RecordingHost::reg_close(HostHandle key) {
  open_keys_.erase(key);
  inner_.reg_close(key);
}

HostHandle RecordingHost::load_library(const std::string& name) {
  HostHandle library = inner_.load_library(name);
  tmex = library != NO_HANDLE ? "answers" : "absent";
  return library;
}

HostHandle RecordingHost::find_function(HostHandle library, const std::string& name,
                                        std::uint32_t* last_error) {
  HostHandle function = inner_.find_function(library, name, last_error);
  if (function == NO_HANDLE) tmex = "no-function " + std::to_string(*last_error);
  return function;
}

// The function's answer is the result's low 16 bits.
std::uint32_t RecordingHost::call_tm_get_type_version(HostHandle function, std::int16_t port_type,
                                                      char* buffer, std::size_t capacity) {
  std::uint32_t result = inner_.call_tm_get_type_version(function, port_type, buffer, capacity);
  tmex += " " + std::to_string(port_type) + "=" + std::to_string(result & 0xFFFF);
  return result;
}

std::uint32_t RecordingHost::open_service_manager(HostHandle* manager) {
  std::uint32_t error = inner_.open_service_manager(manager);
  if (error != HOSTERR_SUCCESS) service = "manager-error " + std::to_string(error);
  return error;
}

std::uint32_t RecordingHost::open_service(HostHandle manager, const std::string& name,
                                          HostHandle* handle) {
  std::uint32_t error = inner_.open_service(manager, name, handle);
  if (error != HOSTERR_SUCCESS) service = "open-error " + std::to_string(error);
  return error;
}

bool RecordingHost::query_service_state(HostHandle handle, std::uint32_t* state) {
  bool read = inner_.query_service_state(handle, state);
  service = read ? "state " + std::to_string(*state) : "query-fails";
  return read;
}
