// recording_host.h: a Host that keeps what the machine answered to Dorvik's code.
//
// Wraps the Win32 host and passes every call through unchanged. Of the calls
// whose answers make up the machine that a simulated run needs (version
// record, locale settings, registry values, the UserPort service, the TMEX
// library) it keeps the answer, so that the dialog driver can report exactly
// what Dorvik's own start-up and status run read, with their own capacities,
// and nothing else.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/host.h"

class RecordingHost : public Host {
 public:
  explicit RecordingHost(Host& inner) : inner_(inner) {}

  // The answers, in the driver's "fact-..." forms (machine_facts.h); empty
  // when nothing asked.
  std::string version;
  std::vector<std::string> locale;
  std::string service;
  std::string tmex;
  // The keys that opened and the values read from them, as the lines of a
  // REGEDIT4 file. Values are binary data: the checks never look
  // at a value's type, only at its bytes.
  std::vector<std::string> registry;

  bool read_os_version(OsVersionRecord* out) override;
  bool read_locale_info(std::uint32_t lctype, std::uint32_t capacity, std::string* out) override;
  CalendarTime local_time() override { return inner_.local_time(); }
  std::string module_path() override { return inner_.module_path(); }
  std::string windows_directory() override { return inner_.windows_directory(); }
  std::string temp_path() override { return inner_.temp_path(); }
  void upper_case(std::string* text) override { inner_.upper_case(text); }
  void lower_case(std::string* text) override { inner_.lower_case(text); }
  bool is_lead_byte(unsigned char byte) override { return inner_.is_lead_byte(byte); }

  std::uint32_t reg_open(const std::string& path, RegistryAccess access, HostHandle* key) override;
  std::uint32_t reg_query_value(HostHandle key, const std::string& name, void* data,
                                std::uint32_t capacity, std::uint32_t* size_read) override;
  void reg_close(HostHandle key) override;

  std::uint32_t find_directory_entry(const std::string& path, DirectoryEntry* out) override {
    return inner_.find_directory_entry(path, out);
  }
  bool utc_to_local_calendar(std::uint64_t utc, CalendarTime* out) override {
    return inner_.utc_to_local_calendar(utc, out);
  }
  std::uint32_t version_info_size(const std::string& path) override {
    return inner_.version_info_size(path);
  }
  HostHandle version_info_open(const std::string& path, std::uint32_t size) override {
    return inner_.version_info_open(path, size);
  }
  bool version_info_query(HostHandle block, const std::string& sub_block, const void** data,
                          std::uint32_t* length) override {
    return inner_.version_info_query(block, sub_block, data, length);
  }
  void version_info_close(HostHandle block) override { inner_.version_info_close(block); }

  std::uint32_t set_error_mode(std::uint32_t mode) override { return inner_.set_error_mode(mode); }
  HostHandle load_library(const std::string& name) override;
  HostHandle find_function(HostHandle library, const std::string& name,
                           std::uint32_t* last_error) override;
  std::uint32_t call_tm_get_type_version(HostHandle function, std::int16_t port_type, char* buffer,
                                         std::size_t capacity) override;
  void free_library(HostHandle library) override { inner_.free_library(library); }

  std::uint32_t open_service_manager(HostHandle* manager) override;
  std::uint32_t open_service(HostHandle manager, const std::string& name,
                             HostHandle* service) override;
  bool query_service_state(HostHandle service, std::uint32_t* state) override;
  void close_service_handle(HostHandle handle) override { inner_.close_service_handle(handle); }

 private:
  // The key's line, unless the latest key line names it already.
  void add_key_line(const std::string& path);

  Host& inner_;
  std::map<HostHandle, std::string> open_keys_;
  std::string latest_key_line_;
};
