// host.h: the machine being diagnosed, as Dorvik's checks see it.
//
// Every fact that Dorvik reads from the running system goes through this
// interface. Two implementations exist: the Win32 host (host/win32), which
// makes the real ANSI calls, and the simulated host (host/sim), which answers
// from a machine described in memory or in a machine profile. The checks never
// include <windows.h>; they are handed a Host and run the same against both.
//
// Results mirror the Win32 calls they stand for. Error codes are Win32 error
// codes (HOSTERR_SUCCESS on success). Handles are opaque non-zero numbers,
// NO_HANDLE when there is none; every handle that an open call hands out must
// be given back to the matching close call, and the simulated host counts
// them so that tests can prove nothing is left open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

typedef std::uintptr_t HostHandle;
const HostHandle NO_HANDLE = 0;

// Win32 error codes that the checks tell apart or that hosts hand out.
const std::uint32_t HOSTERR_SUCCESS = 0;
const std::uint32_t HOSTERR_FILE_NOT_FOUND = 2;
const std::uint32_t HOSTERR_PATH_NOT_FOUND = 3;
const std::uint32_t HOSTERR_ACCESS_DENIED = 5;
const std::uint32_t HOSTERR_NOT_ENOUGH_MEMORY = 8;
const std::uint32_t HOSTERR_INVALID_PARAMETER = 87;
const std::uint32_t HOSTERR_INSUFFICIENT_BUFFER = 122;
const std::uint32_t HOSTERR_MOD_NOT_FOUND = 126;
const std::uint32_t HOSTERR_PROC_NOT_FOUND = 127;
const std::uint32_t HOSTERR_MORE_DATA = 234;
const std::uint32_t HOSTERR_SERVICE_DOES_NOT_EXIST = 1060;

// What GetVersionExA reports: platform identifier (1 = Windows 95/98/Me,
// 2 = NT), major and minor version, and the build number field (on the 9x
// platform its high 16 bits repeat the version).
struct OsVersionRecord {
  std::uint32_t platform_id;
  std::uint32_t major_version;
  std::uint32_t minor_version;
  std::uint32_t build_number;
};

// A point in time split into calendar fields, as in the platform's SYSTEMTIME.
struct CalendarTime {
  std::uint16_t year;
  std::uint16_t month;
  std::uint16_t day_of_week;
  std::uint16_t day;
  std::uint16_t hour;
  std::uint16_t minute;
  std::uint16_t second;
  std::uint16_t milliseconds;
};

// One directory entry as a directory listing reports it. The size is the low
// 32 bits of the entry's size; the time is the last-write time in UTC as a
// file time (100-nanosecond intervals since 1 January 1601).
struct DirectoryEntry {
  std::uint32_t size_low;
  std::uint64_t last_write_utc;
  bool is_directory;
};

// The two access rights with which the checks open registry keys.
enum RegistryAccess { REG_ACCESS_QUERY_VALUE, REG_ACCESS_READ };

// SetErrorMode flags: a failure that the system would otherwise announce in
// a box of its own (a drive that is not ready, a library that a loaded
// library needs and that is missing) is handed to the caller instead.
const std::uint32_t ERROR_MODE_FAIL_CRITICAL_ERRORS = 0x0001;
const std::uint32_t ERROR_MODE_NO_OPEN_FILE_ERROR_BOX = 0x8000;

// Locale settings that start-up reads (GetLocaleInfoA's LCTYPE numbers).
const std::uint32_t LOCALE_ID_SDATE = 29;
const std::uint32_t LOCALE_ID_STIME = 30;
const std::uint32_t LOCALE_ID_IDATE = 33;
const std::uint32_t LOCALE_ID_ITIME = 35;

class Host {
 public:
  virtual ~Host() {}

  // --- Version, locale, clock ---

  // GetVersionExA with the record size 148. False when the platform refuses.
  virtual bool read_os_version(OsVersionRecord* out) = 0;
  // GetLocaleInfoA for the user's default locale into a buffer of `capacity`
  // characters. False when the setting cannot be read or its text and
  // terminator do not fit; `out` is then left alone.
  virtual bool read_locale_info(std::uint32_t lctype, std::uint32_t capacity, std::string* out) = 0;
  // GetLocalTime.
  virtual CalendarTime local_time() = 0;

  // --- The running program and its directories ---

  // GetModuleFileNameA of the program itself.
  virtual std::string module_path() = 0;
  // GetWindowsDirectoryA: no trailing backslash unless a drive root.
  virtual std::string windows_directory() = 0;
  // GetTempPathA: always ends in a backslash. The host asks the platform for
  // the size it needs, so a path of any length comes back whole.
  virtual std::string temp_path() = 0;
  // CharUpperA / CharLowerA: case mapping in the active ANSI code page,
  // character by character (the two bytes of a double-byte one together).
  virtual void upper_case(std::string* text) = 0;
  virtual void lower_case(std::string* text) = 0;
  // IsDBCSLeadByte: true when `byte` starts a two-byte character in the
  // active ANSI code page (only Chinese, Japanese and Korean ones have them).
  virtual bool is_lead_byte(unsigned char byte) = 0;

  // --- Registry, read only, below HKEY_LOCAL_MACHINE ---

  // RegOpenKeyExA. Returns the error code; on success *key is the handle,
  // which a caller must still test against NO_HANDLE.
  virtual std::uint32_t reg_open(const std::string& path, RegistryAccess access,
                                 HostHandle* key) = 0;
  // RegQueryValueExA into `capacity` bytes. On success *size_read is the
  // number of bytes stored; data larger than the capacity fail with
  // HOSTERR_MORE_DATA. The value's registry type is not reported: no check
  // looks at it.
  virtual std::uint32_t reg_query_value(HostHandle key, const std::string& name, void* data,
                                        std::uint32_t capacity, std::uint32_t* size_read) = 0;
  // RegCloseKey.
  virtual void reg_close(HostHandle key) = 0;

  // --- Files ---

  // FindFirstFileA with a full path (no wildcard), then FindClose. Any entry
  // of that name matches, a directory included; letter case is ignored.
  // Returns the error code: HOSTERR_SUCCESS when found (*out is then
  // filled), HOSTERR_FILE_NOT_FOUND or HOSTERR_PATH_NOT_FOUND when there is
  // no such entry or folder, any other code when the look-up could not be
  // made (access denied, say); *out is then left alone.
  virtual std::uint32_t find_directory_entry(const std::string& path, DirectoryEntry* out) = 0;
  // FileTimeToLocalFileTime (with the offset from UTC in force now) and then
  // FileTimeToSystemTime. False when either conversion fails.
  virtual bool utc_to_local_calendar(std::uint64_t utc, CalendarTime* out) = 0;

  // GetFileVersionInfoSizeA: 0 when the file has no version information.
  virtual std::uint32_t version_info_size(const std::string& path) = 0;
  // A zero-filled block of `size` bytes from the process heap, filled by
  // GetFileVersionInfoA. NO_HANDLE when the block cannot be had or the read
  // fails; otherwise the caller must give it to version_info_close.
  virtual HostHandle version_info_open(const std::string& path, std::uint32_t size) = 0;
  // VerQueryValueA on an open block. On success *data points into the block
  // (valid until it is closed) and *length is what the platform reports: the
  // byte count of a binary sub-block, the character count of a text.
  virtual bool version_info_query(HostHandle block, const std::string& sub_block, const void** data,
                                  std::uint32_t* length) = 0;
  virtual void version_info_close(HostHandle block) = 0;

  // --- Library loading ---

  // SetErrorMode: sets the process's error mode (ERROR_MODE_ flags) and
  // returns the one it replaces.
  virtual std::uint32_t set_error_mode(std::uint32_t mode) = 0;
  // LoadLibraryA: NO_HANDLE when the library cannot be loaded.
  virtual HostHandle load_library(const std::string& name) = 0;
  // GetProcAddress: NO_HANDLE on failure, with GetLastError in *last_error.
  virtual HostHandle find_function(HostHandle library, const std::string& name,
                                   std::uint32_t* last_error) = 0;
  // Calls TMGetTypeVersion (__stdcall, a 16-bit port type and a text buffer)
  // through a handle from find_function. The buffer has `capacity` bytes.
  // Returns the raw 32-bit result register; only its low 16 bits carry the
  // function's answer, and judging them is the caller's business.
  virtual std::uint32_t call_tm_get_type_version(HostHandle function, std::int16_t port_type,
                                                 char* buffer, std::size_t capacity) = 0;
  // FreeLibrary.
  virtual void free_library(HostHandle library) = 0;

  // --- Service control manager, query only ---

  // OpenSCManagerA (local machine, active database, GENERIC_READ).
  virtual std::uint32_t open_service_manager(HostHandle* manager) = 0;
  // OpenServiceA with SERVICE_QUERY_STATUS.
  virtual std::uint32_t open_service(HostHandle manager, const std::string& name,
                                     HostHandle* service) = 0;
  // QueryServiceStatus: the dwCurrentState of the service, or false.
  virtual bool query_service_state(HostHandle service, std::uint32_t* state) = 0;
  // CloseServiceHandle, for both kinds of handle.
  virtual void close_service_handle(HostHandle handle) = 0;
};
