// host_calls.h: the host calls of a status run, recorded, and made again.
//
// A CallRecordingHost passes every call on to another host and keeps its kind,
// its arguments and the handle it handed out. replay_host_calls makes the
// same calls with the same arguments through a host, and nothing else: the
// floor that a status run's own work is measured against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/forwarding_host.h"

// One per Host member.
enum HostCallKind {
  CALL_READ_OS_VERSION,
  CALL_READ_LOCALE_INFO,
  CALL_LOCAL_TIME,
  CALL_MODULE_PATH,
  CALL_WINDOWS_DIRECTORY,
  CALL_TEMP_PATH,
  CALL_UPPER_CASE,
  CALL_LOWER_CASE,
  CALL_IS_LEAD_BYTE,
  CALL_REG_OPEN,
  CALL_REG_QUERY_VALUE,
  CALL_REG_CLOSE,
  CALL_FIND_DIRECTORY_ENTRY,
  CALL_UTC_TO_LOCAL_CALENDAR,
  CALL_VERSION_INFO_SIZE,
  CALL_VERSION_INFO_OPEN,
  CALL_VERSION_INFO_QUERY,
  CALL_VERSION_INFO_CLOSE,
  CALL_SET_ERROR_MODE,
  CALL_LOAD_LIBRARY,
  CALL_FIND_FUNCTION,
  CALL_TM_GET_TYPE_VERSION,
  CALL_FREE_LIBRARY,
  CALL_OPEN_SERVICE_MANAGER,
  CALL_OPEN_SERVICE,
  CALL_QUERY_SERVICE_STATE,
  CALL_CLOSE_SERVICE_HANDLE,
  HOST_CALL_KIND_COUNT
};

// The member's name, for the output.
const char* host_call_name(HostCallKind kind);

struct HostCall {
  HostCallKind kind;
  std::string text;       // the path, name, sub-block or text the call takes
  std::uint64_t number;   // its number: setting, access, capacity, size, port type, time
  HostHandle handle;      // the handle it takes, as recorded
  HostHandle handed_out;  // the handle it gave, as recorded
  std::uint32_t outcome;  // its result folded to a number, to check the replay
};

class CallRecordingHost : public ForwardingHost {
 public:
  CallRecordingHost(Host& inner, std::vector<HostCall>* calls)
      : ForwardingHost(inner), calls_(calls) {}

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

 private:
  void add(HostCallKind kind, const std::string& text, std::uint64_t number, HostHandle handle,
           HostHandle handed_out, std::uint32_t outcome);

  std::vector<HostCall>* calls_;
};

// Seconds from an arbitrary start, as finely as the platform counts.
typedef double (*ClockFunction)();

// Makes the calls through `host`, each recorded handle replaced by the one
// the replay got in its place. With `clock`, adds each call's time to
// seconds_by_kind[kind]. Returns the number of calls whose result differs
// from the recording (0 when the machine answers as it did).
int replay_host_calls(Host& host, const std::vector<HostCall>& calls, ClockFunction clock,
                      double* seconds_by_kind);
