// sim_host.h: the Host answered from a simulated machine.
//
// Answers every Host call from a SimMachine, with the platform's rules for
// capacities, letter case and errors. It hands out handles, counts the ones
// still open, and records how often each call was made, so that a test can
// prove that every path closes what it opened and that a call was not made.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/sim/sim_machine.h"

class SimHost : public Host {
 public:
  explicit SimHost(const SimMachine& machine) : machine_(machine) {}

  bool read_os_version(OsVersionRecord* out) override;
  bool read_locale_info(std::uint32_t lctype, std::uint32_t capacity, std::string* out) override;
  CalendarTime local_time() override;

  std::string module_path() override;
  std::string windows_directory() override;
  std::string temp_path() override;
  void upper_case(std::string* text) override;
  void lower_case(std::string* text) override;
  bool is_lead_byte(unsigned char byte) override;

  std::uint32_t reg_open(const std::string& path, RegistryAccess access, HostHandle* key) override;
  std::uint32_t reg_query_value(HostHandle key, const std::string& name, void* data,
                                std::uint32_t capacity, std::uint32_t* size_read) override;
  void reg_close(HostHandle key) override;

  std::uint32_t find_directory_entry(const std::string& path, DirectoryEntry* out) override;
  bool utc_to_local_calendar(std::uint64_t utc, CalendarTime* out) override;
  std::uint32_t version_info_size(const std::string& path) override;
  HostHandle version_info_open(const std::string& path, std::uint32_t size) override;
  bool version_info_query(HostHandle block, const std::string& sub_block, const void** data,
                          std::uint32_t* length) override;
  void version_info_close(HostHandle block) override;

  std::uint32_t set_error_mode(std::uint32_t mode) override;
  HostHandle load_library(const std::string& name) override;
  HostHandle find_function(HostHandle library, const std::string& name,
                           std::uint32_t* last_error) override;
  std::uint32_t call_tm_get_type_version(HostHandle function, std::int16_t port_type, char* buffer,
                                         std::size_t capacity) override;
  void free_library(HostHandle library) override;

  std::uint32_t open_service_manager(HostHandle* manager) override;
  std::uint32_t open_service(HostHandle manager, const std::string& name,
                             HostHandle* service) override;
  bool query_service_state(HostHandle service, std::uint32_t* state) override;
  void close_service_handle(HostHandle handle) override;

  // Handles handed out and not yet given back.
  int open_handle_count() const { return static_cast<int>(open_.size()); }
  // Handles given back that were not open (closed twice, or never opened).
  int bad_close_count() const { return bad_closes_; }
  // How often the named call was made ("reg_open", "open_service_manager", ...).
  int call_count(const std::string& call) const;
  // The error mode in force now, and when load_library was last called.
  std::uint32_t error_mode() const { return error_mode_; }
  std::uint32_t error_mode_at_load() const { return error_mode_at_load_; }
  // Every opening of a key, in order: its folded path and the access asked for.
  std::vector<std::pair<std::string, RegistryAccess>> key_opens;

 private:
  enum HandleKind {
    KIND_KEY,
    KIND_VERSION,
    KIND_LIBRARY,
    KIND_FUNCTION,
    KIND_MANAGER,
    KIND_SERVICE
  };
  struct OpenHandle {
    HandleKind kind;
    std::string target;  // folded path or name
    std::string text;    // a version block's answer, kept while the block is open
    std::uint32_t translation[16];
  };

  HostHandle open_handle(HandleKind kind, const std::string& target);
  OpenHandle* lookup(HostHandle handle, HandleKind kind);
  void close_handle(HostHandle handle, HandleKind kind);
  void count(const char* call) { calls_[call]++; }

  const SimMachine& machine_;
  std::map<HostHandle, OpenHandle> open_;
  std::map<std::string, int> calls_;
  HostHandle next_handle_ = 0x100;
  int bad_closes_ = 0;
  std::uint32_t error_mode_ = 0;
  std::uint32_t error_mode_at_load_ = 0;
};
