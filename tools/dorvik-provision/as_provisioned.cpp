// as_provisioned.cpp: the driver's facts about a Wine prefix into a SimMachine.

#include "as_provisioned.h"

#include <cstdio>
#include <sstream>

#include "host/host.h"
#include "host/sim/reg_file.h"
#include "wine_machine.h"

namespace {

bool starts_with(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool apply_fact(const std::string& key, const std::string& value, SimMachine* m) {
  std::istringstream in(value);
  if (key == "fact-version") {
    if (value == "unreadable") {
      m->version_readable = false;
      return true;
    }
    m->version_readable = true;
    return static_cast<bool>(in >> m->version.platform_id >> m->version.major_version >>
                             m->version.minor_version >> m->version.build_number);
  }
  if (key == "fact-windows-dir") m->windows_dir = value;
  if (key == "fact-temp-path") m->temp_path = value;
  if (key == "fact-utc-offset") return static_cast<bool>(in >> m->utc_offset_minutes);
  if (key == "fact-locale") {
    std::uint32_t id = 0;
    if (!(in >> id)) return false;
    std::size_t blank = value.find(' ');
    if (blank == std::string::npos)
      m->locale.erase(id);
    else
      m->locale[id] = value.substr(blank + 1);
  }
  if (key == "fact-service") {
    std::string kind;
    std::uint32_t code = 0;
    in >> kind >> code;
    m->services.erase("userport");
    m->service_manager_open_error = kind == "manager-error" ? code : HOSTERR_SUCCESS;
    SimService service;
    if (kind == "state") service.state = code;
    if (kind == "query-fails") service.query_fails = true;
    if (kind == "open-error") service.open_error = code;
    if (kind == "state" || kind == "query-fails" ||
        (kind == "open-error" && code != HOSTERR_SERVICE_DOES_NOT_EXIST))
      sim_set_service(*m, "UserPort", service);
  }
  if (key == "fact-tmex") {
    std::string kind;
    in >> kind;
    m->tmex = SimTmexLibrary();
    m->tmex.present = kind != "absent";
    if (kind == "no-function") {
      m->tmex.has_function = false;
      in >> m->tmex.lookup_error;
    }
    std::string answer;
    while (in >> answer) {
      int type = 0;
      unsigned result = 0;
      if (std::sscanf(answer.c_str(), "%d=%u", &type, &result) != 2) return false;
      m->tmex.answers[type] = result;
    }
  }
  if (key == "local-time") {
    unsigned y, mo, d, h, mi, s;
    if (std::sscanf(value.c_str(), "%u-%u-%u %u:%u:%u", &y, &mo, &d, &h, &mi, &s) != 6)
      return false;
    m->clock = CalendarTime{static_cast<std::uint16_t>(y),
                            static_cast<std::uint16_t>(mo),
                            0,
                            static_cast<std::uint16_t>(d),
                            static_cast<std::uint16_t>(h),
                            static_cast<std::uint16_t>(mi),
                            static_cast<std::uint16_t>(s),
                            0};
  }
  return true;
}

}  // namespace

bool apply_wine_facts(const std::string& driver_output, const std::string& module_path,
                      SimMachine* machine, std::string* error) {
  SimMachine m = *machine;
  std::string registry = "REGEDIT4\r\n\r\n";
  std::istringstream in(driver_output);
  std::string line;
  int line_number = 0;
  while (std::getline(in, line)) {
    line_number++;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t colon = line.find(": ");
    if (colon == std::string::npos) continue;
    std::string key = line.substr(0, colon), value = line.substr(colon + 2);
    if (key == "reg") {
      registry += value + "\r\n";
    } else if ((starts_with(key, "fact-") || key == "local-time") && !apply_fact(key, value, &m)) {
      *error = "driver output:" + std::to_string(line_number) + ": cannot read " + line;
      return false;
    }
  }
  // Registry: exactly what the prefix holds under the keys the program reads.
  m.registry.clear();
  if (!apply_reg_file("driver registry", registry, &m, error)) return false;
  // Files: where the provisioner put them, below Wine's Windows directory.
  std::map<std::string, SimFile> files;
  for (const auto& [key, file] : machine->files) {
    SimFile moved = file;
    moved.path = wine_path(file.path, machine->windows_dir);
    files[sim_fold(moved.path)] = moved;
  }
  m.files = files;
  m.module_path = module_path;
  *machine = m;
  return true;
}
