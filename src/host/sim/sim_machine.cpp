// sim_machine.cpp: building simulated machines.

#include "host/sim/sim_machine.h"

#include "host/sim/file_time.h"

std::string sim_fold(const std::string& name, int code_page) {
  std::string folded = name;
  code_page_lower(code_page, &folded);
  return folded;
}

SimRegistryKey& sim_add_key(SimMachine& m, const std::string& path) {
  SimRegistryKey& key = m.registry[sim_fold(path, m.code_page)];
  if (key.path.empty()) key.path = path;
  return key;
}

void sim_set_value(SimMachine& m, const std::string& key_path, const std::string& name,
                   std::uint32_t type, const std::vector<std::uint8_t>& data) {
  SimRegistryValue value;
  value.name = name;
  value.type = type;
  value.data = data;
  sim_add_key(m, key_path).values[sim_fold(name, m.code_page)] = value;
}

void sim_set_string(SimMachine& m, const std::string& key_path, const std::string& name,
                    const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  sim_set_value(m, key_path, name, SIM_REG_SZ, data);
}

void sim_set_dword(SimMachine& m, const std::string& key_path, const std::string& name,
                   std::uint32_t value) {
  std::vector<std::uint8_t> data = {
      static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
      static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  sim_set_value(m, key_path, name, SIM_REG_DWORD, data);
}

SimFile& sim_add_file(SimMachine& m, const std::string& path, std::uint64_t size,
                      std::uint64_t last_write_utc) {
  SimFile& file = m.files[sim_fold(path, m.code_page)];
  file.path = path;
  file.size = size;
  file.last_write_utc = last_write_utc;
  return file;
}

void sim_set_service(SimMachine& m, const std::string& name, const SimService& service) {
  m.services[sim_fold(name, m.code_page)] = service;
}

std::uint64_t sim_file_time(int year, int month, int day, int hour, int minute, int second) {
  CalendarTime t = {};
  t.year = static_cast<std::uint16_t>(year);
  t.month = static_cast<std::uint16_t>(month);
  t.day = static_cast<std::uint16_t>(day);
  t.hour = static_cast<std::uint16_t>(hour);
  t.minute = static_cast<std::uint16_t>(minute);
  t.second = static_cast<std::uint16_t>(second);
  std::uint64_t ft = 0;
  calendar_to_file_time(t, &ft);
  return ft;
}
