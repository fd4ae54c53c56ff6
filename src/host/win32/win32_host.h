// win32_host.h: the Host answered by the running Windows, with ANSI calls.
//
// Every call is the one Win32 call (or short sequence) that the Host
// contract names, with the arguments the checks rely on. Handles handed out
// are the platform's own (HKEY, heap block, HMODULE, SC_HANDLE), converted
// to HostHandle; the checks give each one back through the matching close
// call.
//
// The service control manager calls are looked up at run time: Windows 95's
// advapi32 is not known to export them, and a missing import would stop the
// program from loading there at all. Their absence makes each call fail with
// ERROR_PROC_NOT_FOUND; the checks never ask for services on that family.
#pragma once

#include <windows.h>

#include "host/host.h"

class Win32Host : public Host {
 public:
  explicit Win32Host(HINSTANCE instance);

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
  // Written out by hand, as Windows 95 may lack the functions; the look-up
  // checks each against the platform's declaration when it compiles.
  typedef SC_HANDLE(WINAPI* OpenSCManagerFn)(LPCSTR machine, LPCSTR database, DWORD access);
  typedef SC_HANDLE(WINAPI* OpenServiceFn)(SC_HANDLE manager, LPCSTR name, DWORD access);
  typedef BOOL(WINAPI* QueryServiceStatusFn)(SC_HANDLE service, LPSERVICE_STATUS status);
  typedef BOOL(WINAPI* CloseServiceHandleFn)(SC_HANDLE handle);

  HINSTANCE instance_;
  OpenSCManagerFn open_sc_manager_;
  OpenServiceFn open_service_;
  QueryServiceStatusFn query_service_status_;
  CloseServiceHandleFn close_service_handle_;
};
