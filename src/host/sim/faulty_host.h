// faulty_host.h: a Host that makes one chosen call of a run fail.
//
// Wraps any Host and passes every call through, except that it counts the
// calls that can fail on a real machine (registry, directory lookups, time
// conversion, version resources, library loading, the service manager) and
// makes the n-th of them fail in a chosen way, as the platform would: a key
// or value that is absent, access denied, data too large for the buffer, a
// conversion that fails, an opening that "succeeds" without a handle. It
// records every counted call, so that a test can tell which call it broke
// and what the report must show for it. A failed opening never reaches the
// wrapped host, so a close of a handle that was never handed out shows up
// there as a bad close.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/forwarding_host.h"

enum HostFault {
  FAULT_ABSENT,         // not there: no key, value, file, library or service
  FAULT_ACCESS_DENIED,  // ERROR_ACCESS_DENIED
  FAULT_MORE_DATA,      // ERROR_MORE_DATA: the value does not fit the buffer
  FAULT_OTHER_ERROR,    // an error code that no caller tells apart
  FAULT_NO_HANDLE,      // success reported, but no handle given
  FAULT_CONVERSION      // a time that cannot be converted
};
const int HOST_FAULT_KINDS = 6;

const char* host_fault_name(HostFault fault);

// The error codes that the faults hand out where a call returns one.
const std::uint32_t FAULT_ABSENT_SERVICE_DATABASE = 1065;  // ERROR_DATABASE_DOES_NOT_EXIST
const std::uint32_t FAULT_OTHER_ERROR_CODE = HOSTERR_NOT_ENOUGH_MEMORY;

// One counted call: its name ("reg_open", ...), what it was about, and
// where the run stood.
struct HostCallRecord {
  std::string call;
  std::string target;     // key path, value name, file path, sub-block, library, function
  std::string key_path;   // reg_query_value: the path of the key it read
  std::string file_path;  // the latest path that find_directory_entry was asked for
};

// Whether `call` can fail in the way `fault` on the platform.
bool host_fault_applies(const std::string& call, HostFault fault);

class FaultyHost : public ForwardingHost {
 public:
  explicit FaultyHost(Host& inner) : ForwardingHost(inner) {}

  // Makes the n-th counted call (from 1) fail with `fault`; 0 breaks none.
  // A fault that does not apply to that call leaves it alone.
  void fail_call(int n, HostFault fault) {
    fail_at_ = n;
    fault_ = fault;
  }
  // Every counted call so far, in order.
  const std::vector<HostCallRecord>& calls() const { return calls_; }
  // True once the chosen call has been made to fail.
  bool fault_injected() const { return injected_; }

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

  HostHandle load_library(const std::string& name) override;
  HostHandle find_function(HostHandle library, const std::string& name,
                           std::uint32_t* last_error) override;

  std::uint32_t open_service_manager(HostHandle* manager) override;
  std::uint32_t open_service(HostHandle manager, const std::string& name,
                             HostHandle* service) override;
  bool query_service_state(HostHandle service, std::uint32_t* state) override;

 private:
  // Records the call; true when this is the one to break, in a way it can fail.
  bool breaks(const char* call, const std::string& target, const std::string& key_path = "");
  // The error code of the chosen fault for a call that returns one.
  std::uint32_t fault_error(std::uint32_t absent_error) const;

  int fail_at_ = 0;
  HostFault fault_ = FAULT_ABSENT;
  bool injected_ = false;
  std::vector<HostCallRecord> calls_;
  std::string latest_file_;
  std::map<HostHandle, std::string> key_paths_;  // open keys, for the records of their reads
};
