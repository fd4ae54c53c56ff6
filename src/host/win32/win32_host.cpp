// win32_host.cpp: the Host calls made on the running Windows.

#include "host/win32/win32_host.h"

#include <type_traits>

#include "host/win32/win32_owners.h"

namespace {

// The version record's size as the platform knows it on every 32-bit
// Windows: OSVERSIONINFOA, without the NT 4 SP6 extension.
const DWORD OS_VERSION_RECORD_SIZE = 148;
static_assert(sizeof(OSVERSIONINFOA) == OS_VERSION_RECORD_SIZE, "OSVERSIONINFOA layout");
static_assert(ERROR_MODE_FAIL_CRITICAL_ERRORS == SEM_FAILCRITICALERRORS &&
                  ERROR_MODE_NO_OPEN_FILE_ERROR_BOX == SEM_NOOPENFILEERRORBOX,
              "the Host's error mode flags are the platform's");

// The buffer sizes that start-up hands to the platform first.
const DWORD MODULE_PATH_CAPACITY = 772;
const DWORD WINDOWS_DIR_CAPACITY = 255;
const DWORD TEMP_PATH_CAPACITY = 128;

// TMGetTypeVersion: __stdcall, a 16-bit port type and a text buffer. Its
// answer is a 16-bit number, but the whole result register is taken, so
// that the caller judges exactly what came back.
typedef std::int32_t(__stdcall* TmGetTypeVersionFn)(short port_type, char* buffer);

// Turns a looked-up address into a typed function pointer. The detour
// through void (*)(void) says that the type is known to match the export.
template <typename Function>
Function function_cast(FARPROC address) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(address));
}

// Looks up the export of the same name as a declared platform function and
// stores it in `pointer`, whose type must be exactly that function's (calling
// convention included): a pointer declared by hand with another signature
// does not compile. The declaration is only named in an unevaluated context,
// so the function is not imported.
#define LOOK_UP_FUNCTION(module, function, pointer)                                    \
  do {                                                                                 \
    static_assert(std::is_same<decltype(pointer), decltype(&function)>::value,         \
                  #function ": the pointer's type differs from the declaration");      \
    (pointer) = function_cast<decltype(&function)>(GetProcAddress(module, #function)); \
  } while (0)

HKEY to_key(HostHandle handle) { return reinterpret_cast<HKEY>(handle); }
SC_HANDLE to_sc(HostHandle handle) { return reinterpret_cast<SC_HANDLE>(handle); }

// A failed call whose last error is 0 still has to read as a failure.
std::uint32_t failure_code() {
  DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_INVALID_HANDLE;
}

CalendarTime to_calendar(const SYSTEMTIME& t) {
  CalendarTime out;
  out.year = t.wYear;
  out.month = t.wMonth;
  out.day_of_week = t.wDayOfWeek;
  out.day = t.wDay;
  out.hour = t.wHour;
  out.minute = t.wMinute;
  out.second = t.wSecond;
  out.milliseconds = t.wMilliseconds;
  return out;
}

std::uint64_t to_u64(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// Calls a "fill this buffer, or tell me the size you need" function of the
// platform, first with the size that start-up has always used, then with
// what the platform asks for, so that a path of any length comes back whole.
// Returns false when the platform reports a failure (0).
template <typename Fill>
bool fetch_text(DWORD first_capacity, Fill fill, std::string* out) {
  DWORD capacity = first_capacity;
  for (int attempt = 0; attempt < 4; attempt++) {
    std::string buffer(capacity, '\0');
    DWORD length = fill(&buffer[0], capacity);
    if (length == 0) return false;
    if (length < capacity) {
      buffer.resize(length);
      *out = buffer;
      return true;
    }
    // Too small: the answer is the size needed (with or without the
    // terminator, depending on the call); one more byte covers both.
    capacity = length + 1;
  }
  return false;
}

}  // namespace

Win32Host::Win32Host(HINSTANCE instance)
    : instance_(instance),
      open_sc_manager_(nullptr),
      open_service_(nullptr),
      query_service_status_(nullptr),
      close_service_handle_(nullptr) {
  // advapi32 is loaded already: the registry calls are imported from it.
  HMODULE advapi = GetModuleHandleA("advapi32.dll");
  if (advapi) {
    LOOK_UP_FUNCTION(advapi, OpenSCManagerA, open_sc_manager_);
    LOOK_UP_FUNCTION(advapi, OpenServiceA, open_service_);
    LOOK_UP_FUNCTION(advapi, QueryServiceStatus, query_service_status_);
    LOOK_UP_FUNCTION(advapi, CloseServiceHandle, close_service_handle_);
  }
}

bool Win32Host::read_os_version(OsVersionRecord* out) {
  OSVERSIONINFOA info;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = OS_VERSION_RECORD_SIZE;
  if (!GetVersionExA(&info)) return false;
  out->platform_id = info.dwPlatformId;
  out->major_version = info.dwMajorVersion;
  out->minor_version = info.dwMinorVersion;
  out->build_number = info.dwBuildNumber;
  return true;
}

bool Win32Host::read_locale_info(std::uint32_t lctype, std::uint32_t capacity, std::string* out) {
  // A capacity of 0 would ask for the size instead of the text.
  if (capacity == 0) return false;
  std::string buffer(capacity, '\0');
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, lctype, &buffer[0], static_cast<int>(capacity)) == 0)
    return false;
  out->assign(buffer.c_str());
  return true;
}

CalendarTime Win32Host::local_time() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return to_calendar(now);
}

std::string Win32Host::module_path() {
  // GetModuleFileNameA cuts a path that does not fit and returns the
  // capacity; a larger buffer is tried then.
  DWORD capacity = MODULE_PATH_CAPACITY;
  for (int attempt = 0; attempt < 4; attempt++) {
    std::string buffer(capacity, '\0');
    DWORD length = GetModuleFileNameA(instance_, &buffer[0], capacity);
    if (length < capacity) {
      buffer.resize(length);
      return buffer;
    }
    capacity *= 4;
  }
  return std::string();
}

std::string Win32Host::windows_directory() {
  std::string directory;
  fetch_text(
      WINDOWS_DIR_CAPACITY,
      [](char* buffer, DWORD capacity) { return GetWindowsDirectoryA(buffer, capacity); },
      &directory);
  return directory;
}

std::string Win32Host::temp_path() {
  std::string path;
  bool fetched = fetch_text(
      TEMP_PATH_CAPACITY,
      [](char* buffer, DWORD capacity) { return GetTempPathA(capacity, buffer); }, &path);
  // Should the platform fail to name a temporary directory, the log goes to
  // the Windows directory, never to whatever the current directory is.
  if (!fetched || path.empty()) path = windows_directory();
  if (path.empty() || path[path.size() - 1] != '\\') path += '\\';
  return path;
}

void Win32Host::upper_case(std::string* text) {
  if (!text->empty()) CharUpperA(&(*text)[0]);
}

void Win32Host::lower_case(std::string* text) {
  if (!text->empty()) CharLowerA(&(*text)[0]);
}

bool Win32Host::is_lead_byte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

std::uint32_t Win32Host::reg_open(const std::string& path, RegistryAccess access, HostHandle* key) {
  REGSAM rights = access == REG_ACCESS_READ ? KEY_READ : KEY_QUERY_VALUE;
  HKEY opened = nullptr;
  LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, rights, &opened);
  if (status == ERROR_SUCCESS) *key = reinterpret_cast<HostHandle>(opened);
  return static_cast<std::uint32_t>(status);
}

std::uint32_t Win32Host::reg_query_value(HostHandle key, const std::string& name, void* data,
                                         std::uint32_t capacity, std::uint32_t* size_read) {
  DWORD size = capacity;
  LONG status = RegQueryValueExA(to_key(key), name.c_str(), nullptr, nullptr,
                                 static_cast<BYTE*>(data), &size);
  if (status == ERROR_SUCCESS) *size_read = size;
  return static_cast<std::uint32_t>(status);
}

void Win32Host::reg_close(HostHandle key) { RegCloseKey(to_key(key)); }

std::uint32_t Win32Host::find_directory_entry(const std::string& path, DirectoryEntry* out) {
  WIN32_FIND_DATAA entry;
  FindHandle search(FindFirstFileA(path.c_str(), &entry));
  if (!search.valid()) return failure_code();
  out->size_low = entry.nFileSizeLow;
  out->last_write_utc = to_u64(entry.ftLastWriteTime);
  out->is_directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return ERROR_SUCCESS;
}

bool Win32Host::utc_to_local_calendar(std::uint64_t utc, CalendarTime* out) {
  FILETIME universal;
  universal.dwLowDateTime = static_cast<DWORD>(utc);
  universal.dwHighDateTime = static_cast<DWORD>(utc >> 32);
  FILETIME local;
  SYSTEMTIME fields;
  if (!FileTimeToLocalFileTime(&universal, &local)) return false;
  if (!FileTimeToSystemTime(&local, &fields)) return false;
  *out = to_calendar(fields);
  return true;
}

std::uint32_t Win32Host::version_info_size(const std::string& path) {
  DWORD ignored = 0;
  return GetFileVersionInfoSizeA(path.c_str(), &ignored);
}

HostHandle Win32Host::version_info_open(const std::string& path, std::uint32_t size) {
  HeapBlock block(size);
  if (!block.get()) return NO_HANDLE;
  if (!GetFileVersionInfoA(path.c_str(), 0, size, block.get())) return NO_HANDLE;
  return reinterpret_cast<HostHandle>(block.release());
}

bool Win32Host::version_info_query(HostHandle block, const std::string& sub_block,
                                   const void** data, std::uint32_t* length) {
  void* found = nullptr;
  UINT found_length = 0;
  if (!VerQueryValueA(reinterpret_cast<void*>(block), sub_block.c_str(), &found, &found_length) ||
      !found)
    return false;
  *data = found;
  *length = found_length;
  return true;
}

void Win32Host::version_info_close(HostHandle block) {
  HeapFree(GetProcessHeap(), 0, reinterpret_cast<void*>(block));
}

std::uint32_t Win32Host::set_error_mode(std::uint32_t mode) { return SetErrorMode(mode); }

HostHandle Win32Host::load_library(const std::string& name) {
  return reinterpret_cast<HostHandle>(LoadLibraryA(name.c_str()));
}

HostHandle Win32Host::find_function(HostHandle library, const std::string& name,
                                    std::uint32_t* last_error) {
  FARPROC address = GetProcAddress(reinterpret_cast<HMODULE>(library), name.c_str());
  if (!address) {
    *last_error = GetLastError();
    return NO_HANDLE;
  }
  return reinterpret_cast<HostHandle>(address);
}

std::uint32_t Win32Host::call_tm_get_type_version(HostHandle function, std::int16_t port_type,
                                                  char* buffer, std::size_t capacity) {
  // The library writes its text into the caller's buffer; the probe's
  // buffer is the size that the library is known to need.
  (void)capacity;
  TmGetTypeVersionFn call = reinterpret_cast<TmGetTypeVersionFn>(function);
  return static_cast<std::uint32_t>(call(port_type, buffer));
}

void Win32Host::free_library(HostHandle library) {
  FreeLibrary(reinterpret_cast<HMODULE>(library));
}

std::uint32_t Win32Host::open_service_manager(HostHandle* manager) {
  if (!open_sc_manager_) return ERROR_PROC_NOT_FOUND;
  SC_HANDLE opened = open_sc_manager_(nullptr, nullptr, GENERIC_READ);
  if (!opened) return failure_code();
  *manager = reinterpret_cast<HostHandle>(opened);
  return ERROR_SUCCESS;
}

std::uint32_t Win32Host::open_service(HostHandle manager, const std::string& name,
                                      HostHandle* service) {
  if (!open_service_) return ERROR_PROC_NOT_FOUND;
  SC_HANDLE opened = open_service_(to_sc(manager), name.c_str(), SERVICE_QUERY_STATUS);
  if (!opened) return failure_code();
  *service = reinterpret_cast<HostHandle>(opened);
  return ERROR_SUCCESS;
}

bool Win32Host::query_service_state(HostHandle service, std::uint32_t* state) {
  if (!query_service_status_) return false;
  SERVICE_STATUS status;
  ZeroMemory(&status, sizeof status);
  if (!query_service_status_(to_sc(service), &status)) return false;
  *state = status.dwCurrentState;
  return true;
}

void Win32Host::close_service_handle(HostHandle handle) {
  if (close_service_handle_) close_service_handle_(to_sc(handle));
}
