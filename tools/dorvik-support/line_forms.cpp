// line_forms.cpp: probe machines, and the report lines the program writes on them.

#include "line_forms.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "checks/evaluation.h"
#include "checks/registry_checks.h"
#include "checks/system_identity.h"
#include "checks/tmex_probe.h"
#include "checks/userport_check.h"
#include "host/sim/sim_host.h"
#include "report/memory_status_list.h"

namespace {

// The simulated host, noting what the program asks of it.
class RecordingHost : public SimHost {
 public:
  explicit RecordingHost(const SimMachine& m) : SimHost(m) {}
  std::uint32_t reg_open(const std::string& path, RegistryAccess access, HostHandle* key) override {
    opened.push_back(path);
    std::uint32_t result = SimHost::reg_open(path, access, key);
    if (result == HOSTERR_SUCCESS) key_paths[*key] = path;
    return result;
  }
  std::uint32_t reg_query_value(HostHandle key, const std::string& name, void* data,
                                std::uint32_t capacity, std::uint32_t* size_read) override {
    queries.push_back({key_paths[key], name});
    return SimHost::reg_query_value(key, name, data, capacity, size_read);
  }
  std::uint32_t open_service(HostHandle manager, const std::string& name,
                             HostHandle* service) override {
    services.push_back(name);
    return SimHost::open_service(manager, name, service);
  }
  std::uint32_t call_tm_get_type_version(HostHandle function, std::int16_t port_type, char* buffer,
                                         std::size_t capacity) override {
    ports.push_back(port_type);
    return SimHost::call_tm_get_type_version(function, port_type, buffer, capacity);
  }

  std::map<HostHandle, std::string> key_paths;
  std::vector<std::string> opened, services;
  std::vector<RegistryPlace> queries;
  std::vector<int> ports;
};

typedef std::function<void(const RunContext&, ReportSink&)> Check;

struct ProbeRun {
  std::vector<std::string> lines;
  std::vector<std::string> opened, services;
  std::vector<RegistryPlace> queries;
  std::vector<int> ports;
};

ProbeRun probe(const SimMachine& m, OsClass os, const Check& check) {
  RecordingHost host(m);
  ProcessValues values;
  values.sys_os = os;
  values.windows_dir = m.windows_dir;
  MemoryStatusList list;
  ReportSink sink = {&list, nullptr};
  RunContext ctx = {host, values};
  check(ctx, sink);
  return {list.lines, host.opened, host.services, host.queries, host.ports};
}

SimMachine empty_machine() {
  SimMachine m;
  m.services.clear();
  return m;
}

std::string marker(int n) { return std::string(1, static_cast<char>(n)); }

// The template of a line whose holes hold the markers 1, 2, ... in order.
LineTemplate template_of(const std::string& line, int holes) {
  LineTemplate t;
  std::string::size_type at = 0;
  for (int n = 1; n <= holes; n++) {
    std::string::size_type found = line.find(marker(n), at);
    if (found == std::string::npos) found = line.size();
    t.lits.push_back(line.substr(at, found - at));
    at = found + 1;
  }
  t.lits.push_back(at < line.size() ? line.substr(at) : std::string());
  return t;
}

// The template of a line that shows `shown` where its one value stands.
LineTemplate template_around(const std::string& line, const std::string& shown) {
  std::string::size_type at = line.find(shown);
  if (at == std::string::npos) return {{line, ""}};
  return {{line.substr(0, at), line.substr(at + shown.size())}};
}

// The template of a line that shows the texts `shown` in this order.
LineTemplate template_around_all(const std::string& line, const std::vector<std::string>& shown) {
  LineTemplate t;
  std::string::size_type at = 0;
  for (const std::string& text : shown) {
    std::string::size_type found = line.find(text, at);
    if (found == std::string::npos) found = line.size();
    t.lits.push_back(line.substr(at, found - at));
    at = std::min(line.size(), found + text.size());
  }
  t.lits.push_back(line.substr(at));
  return t;
}

// The keys a check opens, created in `m`; then every value it reads there,
// found by giving each value read a text until no further one is read (a
// value may be read only when the one before it was there).
std::vector<RegistryPlace> places_read(SimMachine& m, OsClass os, const Check& check) {
  for (const std::string& key : probe(m, os, check).opened) sim_add_key(m, key);
  std::vector<RegistryPlace> places;
  SimMachine filled = m;
  for (;;) {
    std::vector<RegistryPlace> now = probe(filled, os, check).queries;
    if (now.size() <= places.size()) return places;
    places = now;
    for (const RegistryPlace& place : places) sim_set_string(filled, place.key, place.value, "x");
  }
}

const int NUMBER_SHOWN = 0x0A0B0C0D;  // a number whose printed digits are easy to find

KeyForm learn_key(OsClass os, const Check& check, const KeyCheck* facts) {
  KeyForm form;
  SimMachine m = empty_machine();
  std::vector<std::string> lines = probe(m, os, check).lines;
  form.head_missing = lines.empty() ? "" : lines[0].substr(6);
  std::vector<RegistryPlace> places = places_read(m, os, check);
  form.key = probe(m, os, check).opened.at(0);
  lines = probe(m, os, check).lines;
  form.head_found = lines.empty() ? "" : lines[0].substr(6);
  if (!facts) return form;
  for (std::size_t i = 0; i < places.size(); i++) {
    RuleForm rule;
    rule.name = places[i].value;
    rule.unreadable = i + 1 < lines.size() ? lines[i + 1] : "";
    form.rules.push_back(rule);
  }
  // Texts show their marker; numbers show the marker's byte as a number.
  SimMachine texts = m;
  for (std::size_t i = 0; i < places.size(); i++)
    sim_set_string(texts, form.key, places[i].value, marker(1));
  lines = probe(texts, os, check).lines;
  SimMachine numbers = m;
  for (const RegistryPlace& place : places)
    sim_set_dword(numbers, form.key, place.value, NUMBER_SHOWN);
  std::vector<std::string> number_lines = probe(numbers, os, check).lines;
  char digits[16];
  std::snprintf(digits, sizeof digits, "%08X", NUMBER_SHOWN);
  for (std::size_t i = 0; i < form.rules.size() && i + 1 < lines.size(); i++) {
    RuleForm& rule = form.rules[i];
    rule.is_text = lines[i + 1].find(marker(1)) != std::string::npos;
    rule.value = rule.is_text ? template_of(lines[i + 1], 1)
                              : template_around(number_lines.at(i + 1), digits);
    rule.expected = rule.value;
    for (int k = 0; k < facts->rule_count; k++) {
      const ValueRule& r = facts->rules[k];
      if (r.name != rule.name) continue;
      SimMachine expected = m;
      std::string shown;
      if (r.kind == VALUE_TEXT) {
        sim_set_string(expected, form.key, r.name, r.expected_text);
        shown = r.expected_text;
      } else if (r.number_count > 0) {
        sim_set_dword(expected, form.key, r.name, r.expected_numbers[0]);
        char expected_digits[16];
        std::snprintf(expected_digits, sizeof expected_digits, "%08X", r.expected_numbers[0]);
        shown = expected_digits;
      }
      std::vector<std::string> ok = probe(expected, os, check).lines;
      if (!shown.empty() && i + 1 < ok.size()) rule.expected = template_around(ok[i + 1], shown);
    }
  }
  return form;
}

VddForm learn_vdd() {
  Check check = [](const RunContext& c, ReportSink& s) { check_registry(c, s, REGISTRY_VDD); };
  VddForm form;
  form.key = learn_key(OS_NT4, check, nullptr);
  SimMachine m = empty_machine();
  std::vector<RegistryPlace> places = places_read(m, OS_NT4, check);
  std::vector<std::string> lines = probe(m, OS_NT4, check).lines;
  form.unreadable = lines.size() > 1 ? lines[1] : "";
  const std::string value = places.empty() ? "" : places[0].value;
  sim_set_value(m, form.key.key, value, SIM_REG_MULTI_SZ, {0});
  lines = probe(m, OS_NT4, check).lines;
  form.entry_missing = lines.size() > 1 ? lines[1] : "";
  m.windows_dir = marker(1);
  std::string entry = vdd_entry_path(m.windows_dir);
  std::vector<std::uint8_t> list(entry.begin(), entry.end());
  list.push_back(0);
  list.push_back(0);
  sim_set_value(m, form.key.key, value, SIM_REG_MULTI_SZ, list);
  lines = probe(m, OS_NT4, check).lines;
  form.found = template_of(lines.size() > 1 ? lines[1] : "", 1);
  return form;
}

// Version records that classify into each class the program runs on.
void learn_classes(LineForms* f) {
  const OsVersionRecord records[] = {{1, 4, 0, 950},   {1, 4, 0, 1111},  {1, 4, 10, 2222},
                                     {1, 4, 90, 3000}, {2, 3, 51, 1057}, {2, 4, 0, 1381},
                                     {2, 5, 0, 2195},  {2, 5, 1, 2600},  {0, 3, 11, 0}};
  for (const OsVersionRecord& r : records) {
    OsClass os = classify_os_version(r);
    if (os == OS_UNSUPPORTED || f->class_records.count(os)) continue;
    f->class_records[os] = r;
    std::vector<std::string> lines =
        probe(empty_machine(), os, [](const RunContext& c, ReportSink& s) {
          report_os_identity(c.host, c.values.sys_os, s);
        }).lines;
    f->class_lines[os] = lines.size() > 1 ? lines[1] : "";
  }
}

LineTemplate learn_version_line(OsClass os) {
  SimMachine m = empty_machine();
  std::vector<RegistryPlace> places = version_places(os);
  for (std::size_t i = 0; i < places.size(); i++)
    sim_set_string(m, places[i].key, places[i].value, marker(static_cast<int>(i) + 1));
  std::vector<std::string> lines = probe(m, os, [](const RunContext& c, ReportSink& s) {
                                     report_os_identity(c.host, c.values.sys_os, s);
                                   }).lines;
  return template_of(lines.empty() ? "" : lines[0], static_cast<int>(places.size()));
}

void cpu_check(const RunContext& c, ReportSink& s) { report_cpu_identity(c.host, s); }

void learn_cpu(LineForms* f) {
  SimMachine m = empty_machine();
  f->cpu_missing = probe(m, OS_WINXP, cpu_check).lines.at(0);
  std::vector<RegistryPlace> places = cpu_places();
  sim_add_key(m, places.at(0).key);
  std::vector<std::string> lines = probe(m, OS_WINXP, cpu_check).lines;
  for (int i = 0; i < 4 && i < static_cast<int>(lines.size()); i++)
    f->cpu_unavailable[i] = lines[i];
  for (int i = 0; i < 3; i++) sim_set_string(m, places[i].key, places[i].value, marker(1));
  sim_set_dword(m, places[3].key, places[3].value, 12345678);
  lines = probe(m, OS_WINXP, cpu_check).lines;
  for (int i = 0; i < 3 && i < static_cast<int>(lines.size()); i++)
    f->cpu_text[i] = template_of(lines[i], 1);
  f->cpu_speed = template_around(lines.size() > 3 ? lines[3] : "", "12345678");
}

void learn_tmex(LineForms* f) {
  Check check = [](const RunContext& c, ReportSink& s) { probe_tmex_drivers(c.host, s); };
  SimMachine m = empty_machine();
  f->tmex_absent = probe(m, OS_WINXP, check).lines.at(0);
  m.tmex.present = true;
  ProbeRun absent = probe(m, OS_WINXP, check);
  f->tmex_present = absent.lines.at(0);
  f->port_types = absent.ports;
  f->port_absent.assign(absent.lines.begin() + 1, absent.lines.end());
  for (int type : f->port_types) m.tmex.answers[type] = 1;
  std::vector<std::string> present = probe(m, OS_WINXP, check).lines;
  f->port_present.assign(present.begin() + 1, present.end());
  m.tmex.has_function = false;
  m.tmex.lookup_error = 168496141;
  f->tmex_no_function = template_around(probe(m, OS_WINXP, check).lines.at(1), "168496141");
}

// A found file's line: its values stand where the probe's known values show.
void learn_files(LineForms* f) {
  const std::uint32_t size = 168496141;
  const std::int32_t count = 168496140;
  for (int slot = 0; slot < DRIVER_SLOT_COUNT; slot++) {
    SimMachine m = empty_machine();
    SimHost host(m);
    DriverFileSlot probed;
    probed.name = DRIVER_FILES[slot].name;
    probed.found = true;
    probed.size = size;
    probed.last_write = sim_file_time(2001, 2, 3, 12);
    probed.shared_count = count;
    probed.version = marker(1);
    std::string date, time;
    file_time_texts(host, probed.last_write, &date, &time);
    MemoryStatusList list;
    ReportSink sink = {&list, nullptr};
    report_driver_file(host, sink, probed);
    f->file_found[slot] = template_around_all(
        list.lines.at(0).substr(6), {std::to_string(size), date, std::to_string(count), marker(1)});
    if (slot > 0) continue;
    // The placeholders: a count that is not known, and the version forms.
    probed.shared_count = SHARED_COUNT_UNKNOWN;
    list.clear();
    report_driver_file(host, sink, probed);
    std::vector<std::string> holes;
    if (fill_template(f->file_found[slot], list.lines.at(0).substr(6), &holes))
      f->count_unknown = holes.at(2);
    for (SimVersionState state :
         {SIM_VERSION_ABSENT, SIM_VERSION_UNREADABLE, SIM_VERSION_NO_TRANSLATION}) {
      SimMachine v = empty_machine();
      SimFile& file = sim_add_file(v, "C:\\X\\F", 1, 0);
      file.version.state = state;
      SimHost vhost(v);
      DriverFileSlot read;
      read.path = file.path;
      read_file_version(vhost, &read);
      f->version_placeholders[read.version] = state;
    }
  }
  // The group lines with every member in order.
  SimMachine m = empty_machine();
  SimHost host(m);
  ProcessValues values;
  values.sys_os = OS_WINXP;
  RunContext ctx = {host, values};
  MemoryStatusList list;
  ReportSink sink = {&list, nullptr};
  DriverFileTable table;
  CheckResults results;
  for (DriverStatus& status : results.status) status = STATUS_AOK;
  report_groups(ctx, sink, table, results);
  for (int g = 0; g < GROUP_COUNT && g < static_cast<int>(list.lines.size()); g++)
    f->summary[g] = list.lines[g].substr(6);
}

LineForms learn_forms() {
  LineForms f;
  ProcessValues values;
  values.program_file_name = marker(1);
  std::string title = program_title(values);
  strip_leading_spaces(&title);
  f.title = template_of(title, 1);
  f.version_text = PROGRAM_VERSION_TEXT;
  learn_classes(&f);
  f.version_9x = learn_version_line(OS_WIN98);
  f.version_nt = learn_version_line(OS_WINXP);
  f.version_other = learn_version_line(OS_NT351);
  learn_cpu(&f);
  for (int slot = 0; slot < DRIVER_SLOT_COUNT; slot++) {
    SimMachine m = empty_machine();
    f.file_missing[slot] =
        probe(m, OS_WINXP,
              [slot](const RunContext& c, ReportSink& s) {
                DriverFileSlot probed;
                probe_driver_file(c, &probed, DRIVER_FILES[slot].name, DRIVER_FILES[slot].family);
                report_driver_file(c.host, s, probed);
              })
            .lines.at(0)
            .substr(6);
  }
  learn_files(&f);
  for (int i = 0; i < REGISTRY_VDD; i++) {
    const RegistryCheck which = static_cast<RegistryCheck>(i);
    f.rule_keys[i] = learn_key(
        OS_WINXP, [which](const RunContext& c, ReportSink& s) { check_registry(c, s, which); },
        &REGISTRY_CHECKS[i]);
  }
  f.vdd = learn_vdd();
  learn_tmex(&f);
  return f;
}

}  // namespace

bool fill_template(const LineTemplate& t, const std::string& line,
                   std::vector<std::string>* holes) {
  holes->clear();
  if (t.lits.empty() || line.compare(0, t.lits[0].size(), t.lits[0]) != 0) return false;
  const std::string& last = t.lits.back();
  if (t.lits.size() == 1) return line == last;
  if (line.size() < t.lits[0].size() + last.size() ||
      line.compare(line.size() - last.size(), last.size(), last) != 0)
    return false;
  std::string::size_type at = t.lits[0].size();
  const std::string::size_type end = line.size() - last.size();
  for (std::size_t i = 1; i + 1 < t.lits.size(); i++) {
    std::string::size_type found = line.find(t.lits[i], at);
    if (found == std::string::npos || found + t.lits[i].size() > end) return false;
    holes->push_back(line.substr(at, found - at));
    at = found + t.lits[i].size();
  }
  holes->push_back(line.substr(at, end - at));
  return true;
}

const LineForms& line_forms() {
  static const LineForms forms = learn_forms();
  return forms;
}

std::vector<ServiceForm> service_forms(OsClass os) {
  // Learnt once per class: a reader of many logs asks for them every time.
  static std::map<OsClass, std::vector<ServiceForm>> learnt;
  auto known = learnt.find(os);
  if (known != learnt.end()) return known->second;
  Check check = [](const RunContext& c, ReportSink& s) {
    check_userport_service(c.host, c.values.sys_os, s);
  };
  SimMachine m = empty_machine();
  ProbeRun first = probe(m, os, check);
  const std::string name = first.services.empty() ? "" : first.services[0];
  std::vector<ServiceForm> forms;
  auto add = [&](std::uint32_t manager_error, bool has_service, SimService service) {
    SimMachine probe_machine = empty_machine();
    probe_machine.service_manager_open_error = manager_error;
    if (has_service) sim_set_service(probe_machine, name, service);
    std::vector<std::string> lines = probe(probe_machine, os, check).lines;
    if (!lines.empty()) forms.push_back({lines[0].substr(6), manager_error, has_service, service});
  };
  add(HOSTERR_SUCCESS, false, SimService());
  if (name.empty()) return learnt[os] = forms;  // the class does not ask the service manager
  add(HOSTERR_ACCESS_DENIED, false, SimService());
  add(HOSTERR_INVALID_PARAMETER, false, SimService());
  for (std::uint32_t error : {HOSTERR_ACCESS_DENIED, HOSTERR_INVALID_PARAMETER}) {
    SimService refusing;
    refusing.open_error = error;
    add(HOSTERR_SUCCESS, true, refusing);
  }
  SimService unqueried;
  unqueried.query_fails = true;
  add(HOSTERR_SUCCESS, true, unqueried);
  for (std::uint32_t state = 0; state <= 8; state++) {
    SimService service;
    service.state = state;
    add(HOSTERR_SUCCESS, true, service);
  }
  learnt[os] = forms;
  return forms;
}

std::string vdd_entry_path(const std::string& windows_dir) {
  return windows_dir + REGISTRY_CHECKS[REGISTRY_VDD].rules[0].expected_text;
}

std::string driver_path(OsClass os, const std::string& windows_dir, int slot) {
  SimMachine m = empty_machine();
  m.windows_dir = windows_dir;
  SimHost host(m);
  ProcessValues values;
  values.sys_os = os;
  values.windows_dir = windows_dir;
  RunContext ctx = {host, values};
  DriverFileSlot probed;
  probe_driver_file(ctx, &probed, DRIVER_FILES[slot].name, DRIVER_FILES[slot].family);
  return probed.path;
}

std::vector<RegistryPlace> version_places(OsClass os) {
  static std::map<OsClass, std::vector<RegistryPlace>> learnt;
  auto known = learnt.find(os);
  if (known != learnt.end()) return known->second;
  SimMachine m = empty_machine();
  return learnt[os] = places_read(m, os, [](const RunContext& c, ReportSink& s) {
           report_os_identity(c.host, c.values.sys_os, s);
         });
}

std::vector<RegistryPlace> cpu_places() {
  static const std::vector<RegistryPlace> learnt = [] {
    SimMachine m = empty_machine();
    return places_read(m, OS_WINXP, cpu_check);
  }();
  return learnt;
}

std::string shared_use_key() {
  static const std::string learnt = [] {
    SimMachine m = empty_machine();
    std::vector<std::string> opened = probe(m, OS_WINXP, [](const RunContext& c, ReportSink&) {
                                        read_shared_use_count(c.host, "C:\\X");
                                      }).opened;
    return opened.empty() ? std::string() : opened[0];
  }();
  return learnt;
}
