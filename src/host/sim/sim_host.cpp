// sim_host.cpp: the simulated machine's answers to the Host calls.

#include "host/sim/sim_host.h"

#include <cstdint>
#include <cstring>

#include "host/sim/file_time.h"

namespace {

const char TMEX_LIBRARY[] = "ibfs32.dll";
const char TMEX_FUNCTION[] = "TMGetTypeVersion";

bool key_exists(const SimMachine& m, const std::string& folded) {
  if (m.registry.count(folded)) return true;
  // A key exists when a key below it does.
  auto below = m.registry.lower_bound(folded + "\\");
  return below != m.registry.end() &&
         below->first.compare(0, folded.size() + 1, folded + "\\") == 0;
}

}  // namespace

HostHandle SimHost::open_handle(HandleKind kind, const std::string& target) {
  HostHandle handle = next_handle_++;
  OpenHandle& entry = open_[handle];
  entry.kind = kind;
  entry.target = target;
  return handle;
}

SimHost::OpenHandle* SimHost::lookup(HostHandle handle, HandleKind kind) {
  auto it = open_.find(handle);
  if (it == open_.end() || it->second.kind != kind) return nullptr;
  return &it->second;
}

void SimHost::close_handle(HostHandle handle, HandleKind kind) {
  auto it = open_.find(handle);
  if (it == open_.end() || it->second.kind != kind) {
    bad_closes_++;
    return;
  }
  open_.erase(it);
}

int SimHost::call_count(const std::string& call) const {
  auto it = calls_.find(call);
  return it == calls_.end() ? 0 : it->second;
}

bool SimHost::read_os_version(OsVersionRecord* out) {
  count("read_os_version");
  if (!machine_.version_readable) return false;
  *out = machine_.version;
  return true;
}

bool SimHost::read_locale_info(std::uint32_t lctype, std::uint32_t capacity, std::string* out) {
  count("read_locale_info");
  auto it = machine_.locale.find(lctype);
  if (it == machine_.locale.end()) return false;
  if (it->second.size() + 1 > capacity) return false;  // ERROR_INSUFFICIENT_BUFFER
  *out = it->second;
  return true;
}

CalendarTime SimHost::local_time() {
  count("local_time");
  return machine_.clock;
}

std::string SimHost::module_path() { return machine_.module_path; }
std::string SimHost::windows_directory() { return machine_.windows_dir; }
std::string SimHost::temp_path() { return machine_.temp_path; }

void SimHost::upper_case(std::string* text) { code_page_upper(machine_.code_page, text); }
void SimHost::lower_case(std::string* text) { code_page_lower(machine_.code_page, text); }
bool SimHost::is_lead_byte(unsigned char byte) {
  return code_page_lead_byte(machine_.code_page, byte);
}

std::uint32_t SimHost::reg_open(const std::string& path, RegistryAccess access, HostHandle* key) {
  count("reg_open");
  std::string folded = sim_fold(path, machine_.code_page);
  key_opens.push_back({folded, access});
  auto it = machine_.registry.find(folded);
  if (it != machine_.registry.end() && it->second.open_error != HOSTERR_SUCCESS)
    return it->second.open_error;
  if (!key_exists(machine_, folded)) return HOSTERR_FILE_NOT_FOUND;
  *key = open_handle(KIND_KEY, folded);
  return HOSTERR_SUCCESS;
}

std::uint32_t SimHost::reg_query_value(HostHandle key, const std::string& name, void* data,
                                       std::uint32_t capacity, std::uint32_t* size_read) {
  count("reg_query_value");
  OpenHandle* open = lookup(key, KIND_KEY);
  if (!open) return HOSTERR_INVALID_PARAMETER;
  auto k = machine_.registry.find(open->target);
  if (k == machine_.registry.end()) return HOSTERR_FILE_NOT_FOUND;
  auto v = k->second.values.find(sim_fold(name, machine_.code_page));
  if (v == k->second.values.end()) return HOSTERR_FILE_NOT_FOUND;
  if (v->second.read_error != HOSTERR_SUCCESS) return v->second.read_error;
  const std::vector<std::uint8_t>& bytes = v->second.data;
  if (bytes.size() > capacity) return HOSTERR_MORE_DATA;
  if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
  *size_read = static_cast<std::uint32_t>(bytes.size());
  return HOSTERR_SUCCESS;
}

void SimHost::reg_close(HostHandle key) {
  count("reg_close");
  close_handle(key, KIND_KEY);
}

std::uint32_t SimHost::find_directory_entry(const std::string& path, DirectoryEntry* out) {
  count("find_directory_entry");
  auto it = machine_.files.find(sim_fold(path, machine_.code_page));
  if (it == machine_.files.end()) return HOSTERR_FILE_NOT_FOUND;
  out->size_low = static_cast<std::uint32_t>(it->second.size);
  out->last_write_utc = it->second.last_write_utc;
  out->is_directory = it->second.is_directory;
  return HOSTERR_SUCCESS;
}

bool SimHost::utc_to_local_calendar(std::uint64_t utc, CalendarTime* out) {
  count("utc_to_local_calendar");
  // Today's offset, as FileTimeToLocalFileTime applies it, whatever the date.
  // A local time past the last file time fails, as FileTimeToSystemTime does.
  std::uint64_t local = 0;
  return shift_file_time(utc, machine_.utc_offset_minutes, &local) &&
         file_time_to_calendar(local, out);
}

std::uint32_t SimHost::version_info_size(const std::string& path) {
  count("version_info_size");
  auto it = machine_.files.find(sim_fold(path, machine_.code_page));
  if (it == machine_.files.end() || it->second.is_directory) return 0;
  return it->second.version.state == SIM_VERSION_ABSENT ? 0 : 2048;
}

HostHandle SimHost::version_info_open(const std::string& path, std::uint32_t size) {
  count("version_info_open");
  auto it = machine_.files.find(sim_fold(path, machine_.code_page));
  if (size == 0 || it == machine_.files.end() || it->second.version.state == SIM_VERSION_ABSENT ||
      it->second.version.state == SIM_VERSION_UNREADABLE)
    return NO_HANDLE;
  return open_handle(KIND_VERSION, it->first);
}

bool SimHost::version_info_query(HostHandle block, const std::string& sub_block, const void** data,
                                 std::uint32_t* length) {
  count("version_info_query");
  OpenHandle* open = lookup(block, KIND_VERSION);
  if (!open) return false;
  const SimVersionInfo& info = machine_.files.at(open->target).version;
  if (info.state != SIM_VERSION_PRESENT) return false;

  std::string folded = sim_fold(sub_block, machine_.code_page);
  if (folded == "\\varfileinfo\\translation") {
    std::size_t n = info.translations.size();
    if (n > 16) n = 16;
    for (std::size_t i = 0; i < n; i++) open->translation[i] = info.translations[i];
    *data = open->translation;
    *length = static_cast<std::uint32_t>(n * 4);
    if (info.translation_length >= 0 &&
        static_cast<std::uint32_t>(info.translation_length) < *length)
      *length = static_cast<std::uint32_t>(info.translation_length);
    return true;
  }
  const std::string prefix = "\\stringfileinfo\\";
  const std::string suffix = "\\fileversion";
  if (folded.size() == prefix.size() + 8 + suffix.size() &&
      folded.compare(0, prefix.size(), prefix) == 0 &&
      folded.compare(prefix.size() + 8, std::string::npos, suffix) == 0) {
    std::string name = sim_fold(folded.substr(prefix.size(), 8));
    for (const auto& entry : info.file_versions) {
      if (sim_fold(entry.first, machine_.code_page) != name) continue;
      open->text = entry.second;
      *length = static_cast<std::uint32_t>(open->text.size() + 1);
      if (info.texts_unterminated) {
        // In a real block the next entry's name comes next.
        open->text += "ProductVersion";
        *length -= 1;
      }
      *data = open->text.c_str();
      return true;
    }
  }
  return false;
}

void SimHost::version_info_close(HostHandle block) {
  count("version_info_close");
  close_handle(block, KIND_VERSION);
}

std::uint32_t SimHost::set_error_mode(std::uint32_t mode) {
  count("set_error_mode");
  std::uint32_t previous = error_mode_;
  error_mode_ = mode;
  return previous;
}

HostHandle SimHost::load_library(const std::string& name) {
  count("load_library");
  error_mode_at_load_ = error_mode_;
  if (sim_fold(name, machine_.code_page) != TMEX_LIBRARY || !machine_.tmex.present)
    return NO_HANDLE;
  return open_handle(KIND_LIBRARY, sim_fold(name, machine_.code_page));
}

HostHandle SimHost::find_function(HostHandle library, const std::string& name,
                                  std::uint32_t* last_error) {
  count("find_function");
  if (!lookup(library, KIND_LIBRARY)) {
    *last_error = HOSTERR_INVALID_PARAMETER;
    return NO_HANDLE;
  }
  if (name != TMEX_FUNCTION || !machine_.tmex.has_function) {
    *last_error = machine_.tmex.lookup_error;
    return NO_HANDLE;
  }
  // A function's address is no handle to give back: it is not counted as open.
  return library + 0x10000;
}

std::uint32_t SimHost::call_tm_get_type_version(HostHandle function, std::int16_t port_type,
                                                char* buffer, std::size_t capacity) {
  count("call_tm_get_type_version");
  (void)function;
  // The library writes a version text into the caller's buffer.
  const char text[] = "TMEX Port Driver";
  if (capacity >= sizeof text) std::memcpy(buffer, text, sizeof text);
  auto it = machine_.tmex.answers.find(port_type);
  return it == machine_.tmex.answers.end() ? 0 : it->second;
}

void SimHost::free_library(HostHandle library) {
  count("free_library");
  close_handle(library, KIND_LIBRARY);
}

std::uint32_t SimHost::open_service_manager(HostHandle* manager) {
  count("open_service_manager");
  if (machine_.service_manager_open_error != HOSTERR_SUCCESS)
    return machine_.service_manager_open_error;
  *manager = open_handle(KIND_MANAGER, "");
  return HOSTERR_SUCCESS;
}

std::uint32_t SimHost::open_service(HostHandle manager, const std::string& name,
                                    HostHandle* service) {
  count("open_service");
  if (!lookup(manager, KIND_MANAGER)) return HOSTERR_INVALID_PARAMETER;
  auto it = machine_.services.find(sim_fold(name, machine_.code_page));
  if (it == machine_.services.end()) return HOSTERR_SERVICE_DOES_NOT_EXIST;
  if (it->second.open_error != HOSTERR_SUCCESS) return it->second.open_error;
  *service = open_handle(KIND_SERVICE, it->first);
  return HOSTERR_SUCCESS;
}

bool SimHost::query_service_state(HostHandle service, std::uint32_t* state) {
  count("query_service_state");
  OpenHandle* open = lookup(service, KIND_SERVICE);
  if (!open) return false;
  const SimService& s = machine_.services.at(open->target);
  if (s.query_fails) return false;
  *state = s.state;
  return true;
}

void SimHost::close_service_handle(HostHandle handle) {
  count("close_service_handle");
  auto it = open_.find(handle);
  if (it != open_.end() && it->second.kind == KIND_MANAGER)
    close_handle(handle, KIND_MANAGER);
  else
    close_handle(handle, KIND_SERVICE);
}
