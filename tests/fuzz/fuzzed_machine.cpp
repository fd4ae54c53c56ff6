// fuzzed_machine.cpp: a profile of machines/ changed through its own fields.
//
// Shared by the fuzz targets that need a whole machine (status_run_fuzzer.cpp
// tells what the bytes choose).

#include "fuzzed_machine.h"

#include <filesystem>
#include <iterator>
#include <set>

#include "host/sim/profile_loader.h"

namespace {

std::vector<SimMachine> load_profiles() {
  std::set<std::string> folders;  // in order, so that an input means the same everywhere
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(DORVIK_SOURCE_DIR) + "/machines"))
    if (entry.is_directory()) folders.insert(entry.path().string());
  std::vector<SimMachine> machines;
  for (const std::string& folder : folders) {
    SimMachine machine;
    std::string error;
    if (load_machine_profile(folder, &machine, &error)) machines.push_back(machine);
  }
  return machines;
}

template <typename Map>
typename Map::mapped_type* any_of(FuzzedDataProvider& in, Map& map) {
  if (map.empty()) return nullptr;
  return &std::next(map.begin(), in.ConsumeIntegralInRange<std::size_t>(0, map.size() - 1))->second;
}

std::uint64_t number(FuzzedDataProvider& in) {
  const std::uint64_t edges[] = {0, 1, 0xFFFF, 0xFFFFFFFF, 0x100000000, INT64_MAX, UINT64_MAX};
  return in.ConsumeBool() ? in.PickValueInArray(edges) : in.ConsumeIntegral<std::uint64_t>();
}

std::uint32_t error(FuzzedDataProvider& in) {
  const std::uint32_t errors[] = {HOSTERR_FILE_NOT_FOUND, HOSTERR_ACCESS_DENIED, HOSTERR_MORE_DATA,
                                  HOSTERR_SERVICE_DOES_NOT_EXIST};
  return in.ConsumeBool() ? in.PickValueInArray(errors) : in.ConsumeIntegral<std::uint32_t>();
}

// Bytes of any value; as often as not at the edge of the 256-byte buffers.
std::string text(FuzzedDataProvider& in) {
  std::size_t length = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::size_t>(254, 258)
                                        : in.ConsumeIntegralInRange<std::size_t>(0, 300);
  std::string bytes = in.ConsumeBytesAsString(length);
  bytes.resize(length, in.ConsumeBool() ? '\0' : 'x');
  return bytes;
}

void change_value(FuzzedDataProvider& in, SimMachine& m) {
  SimRegistryKey* key = any_of(in, m.registry);
  if (!key) return;
  if (in.ConsumeIntegralInRange(0, 7) == 0) {
    key->open_error = in.ConsumeBool() ? 0 : error(in);
    return;
  }
  SimRegistryValue* value = in.ConsumeBool() ? any_of(in, key->values) : nullptr;
  if (!value) {
    std::string name = in.ConsumeRandomLengthString(300);
    value = &key->values[sim_fold(name)];
    value->name = name;
  }
  value->type = in.ConsumeIntegralInRange<std::uint32_t>(0, 11);
  std::string bytes = text(in);
  value->data.assign(bytes.begin(), bytes.end());
  if (in.ConsumeIntegralInRange(0, 7) == 0) value->read_error = error(in);
}

void change_file(FuzzedDataProvider& in, SimMachine& m) {
  SimFile* file = any_of(in, m.files);
  if (!file) return;
  switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0: file->size = number(in); break;
    case 1: file->last_write_utc = number(in); break;
    case 2: file->is_directory = !file->is_directory; break;
    case 3: {
      SimVersionInfo& version = file->version;
      version.state = static_cast<SimVersionState>(in.ConsumeIntegralInRange(0, 3));
      if (in.ConsumeBool()) version.translations.clear();
      if (in.ConsumeBool()) version.translations.push_back(static_cast<std::uint32_t>(number(in)));
      std::string* file_version = any_of(in, version.file_versions);
      if (file_version) *file_version = text(in);
      break;
    }
    default: m.files.erase(sim_fold(file->path));  // gone
  }
}

void change_machine(FuzzedDataProvider& in, SimMachine& m) {
  std::uint16_t* clock[] = {&m.clock.year,   &m.clock.month,       &m.clock.day_of_week,
                            &m.clock.day,    &m.clock.hour,        &m.clock.minute,
                            &m.clock.second, &m.clock.milliseconds};
  std::uint32_t* version[] = {&m.version.platform_id, &m.version.major_version,
                              &m.version.minor_version, &m.version.build_number};
  const std::uint32_t locale[] = {LOCALE_ID_SDATE, LOCALE_ID_IDATE, LOCALE_ID_STIME,
                                  LOCALE_ID_ITIME};
  switch (in.ConsumeIntegralInRange(0, 9)) {
    case 0: m.module_path = in.ConsumeRandomLengthString(800); break;
    case 1: m.windows_dir = in.ConsumeRandomLengthString(300); break;
    case 2: m.temp_path = in.ConsumeRandomLengthString(300); break;
    case 3: *in.PickValueInArray(version) = static_cast<std::uint32_t>(number(in)); break;
    case 4: m.locale[in.PickValueInArray(locale)] = in.ConsumeRandomLengthString(12); break;
    case 5: *in.PickValueInArray(clock) = static_cast<std::uint16_t>(number(in)); break;
    case 6:
      m.utc_offset_minutes =
          in.ConsumeBool() ? in.ConsumeIntegralInRange(-840, 840) : in.ConsumeIntegral<int>();
      break;
    case 7:
      m.tmex.present = in.ConsumeBool();
      m.tmex.has_function = in.ConsumeBool();
      m.tmex.lookup_error = error(in);
      m.tmex.answers[in.ConsumeIntegralInRange(-1, 5)] = static_cast<std::uint32_t>(number(in));
      break;
    case 8: m.service_manager_open_error = error(in); break;
    default: {
      SimService& service = m.services[sim_fold("UserPort")];
      service.open_error = in.ConsumeBool() ? 0 : error(in);
      service.query_fails = in.ConsumeBool();
      service.state = static_cast<std::uint32_t>(number(in) % 10);
    }
  }
}

}  // namespace

SimMachine fuzzed_machine(FuzzedDataProvider& in) {
  static const std::vector<SimMachine> profiles = load_profiles();
  SimMachine m = profiles[in.ConsumeIntegralInRange<std::size_t>(0, profiles.size() - 1)];
  for (int changes = in.ConsumeIntegralInRange(0, 24); changes > 0 && in.remaining_bytes() > 0;
       changes--) {
    switch (in.ConsumeIntegralInRange(0, 2)) {
      case 0: change_value(in, m); break;
      case 1: change_file(in, m); break;
      default: change_machine(in, m);
    }
  }
  return m;
}
