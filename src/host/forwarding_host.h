// forwarding_host.h: a Host that passes every call to an inner Host unchanged.
//
// The base of wrappers that change or watch only some calls (fault injection,
// recording what the machine answered): they override those and inherit the
// plain passing-on of all the others, so a member added to Host needs one
// forwarder here instead of one in every wrapper.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/host.h"

class ForwardingHost : public Host {
 public:
  explicit ForwardingHost(Host& inner) : inner_(inner) {}

  bool read_os_version(OsVersionRecord* out) override { return inner_.read_os_version(out); }
  bool read_locale_info(std::uint32_t lctype, std::uint32_t capacity, std::string* out) override {
    return inner_.read_locale_info(lctype, capacity, out);
  }
  CalendarTime local_time() override { return inner_.local_time(); }
  std::string module_path() override { return inner_.module_path(); }
  std::string windows_directory() override { return inner_.windows_directory(); }
  std::string temp_path() override { return inner_.temp_path(); }
  void upper_case(std::string* text) override { inner_.upper_case(text); }
  void lower_case(std::string* text) override { inner_.lower_case(text); }
  bool is_lead_byte(unsigned char byte) override { return inner_.is_lead_byte(byte); }

  std::uint32_t reg_open(const std::string& path, RegistryAccess access, HostHandle* key) override {
    return inner_.reg_open(path, access, key);
  }
  std::uint32_t reg_query_value(HostHandle key, const std::string& name, void* data,
                                std::uint32_t capacity, std::uint32_t* size_read) override {
    return inner_.reg_query_value(key, name, data, capacity, size_read);
  }
  void reg_close(HostHandle key) override { inner_.reg_close(key); }

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
  HostHandle load_library(const std::string& name) override { return inner_.load_library(name); }
  HostHandle find_function(HostHandle library, const std::string& name,
                           std::uint32_t* last_error) override {
    return inner_.find_function(library, name, last_error);
  }
  std::uint32_t call_tm_get_type_version(HostHandle function, std::int16_t port_type, char* buffer,
                                         std::size_t capacity) override {
    return inner_.call_tm_get_type_version(function, port_type, buffer, capacity);
  }
  void free_library(HostHandle library) override { inner_.free_library(library); }

  std::uint32_t open_service_manager(HostHandle* manager) override {
    return inner_.open_service_manager(manager);
  }
  std::uint32_t open_service(HostHandle manager, const std::string& name,
                             HostHandle* service) override {
    return inner_.open_service(manager, name, service);
  }
  bool query_service_state(HostHandle service, std::uint32_t* state) override {
    return inner_.query_service_state(service, state);
  }
  void close_service_handle(HostHandle handle) override { inner_.close_service_handle(handle); }

 protected:
  Host& inner_;
};
