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

#include "host/forwarding_host.h"

class RecordingHost : public ForwardingHost {
 public:
  explicit RecordingHost(Host& inner) : ForwardingHost(inner) {}

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

  std::uint32_t reg_open(const std::string& path, RegistryAccess access, HostHandle* key) override;
  std::uint32_t reg_query_value(HostHandle key, const std::string& name, void* data,
                                std::uint32_t capacity, std::uint32_t* size_read) override;
  void reg_close(HostHandle key) override;

  HostHandle load_library(const std::string& name) override;
  HostHandle find_function(HostHandle library, const std::string& name,
                           std::uint32_t* last_error) override;
  std::uint32_t call_tm_get_type_version(HostHandle function, std::int16_t port_type, char* buffer,
                                         std::size_t capacity) override;

  std::uint32_t open_service_manager(HostHandle* manager) override;
  std::uint32_t open_service(HostHandle manager, const std::string& name,
                             HostHandle* service) override;
  bool query_service_state(HostHandle service, std::uint32_t* state) override;

 private:
  // The key's line, unless the latest key line names it already.
  void add_key_line(const std::string& path);

  std::map<HostHandle, std::string> open_keys_;
  std::string latest_key_line_;
};
