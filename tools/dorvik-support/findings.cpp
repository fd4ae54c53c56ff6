// findings.cpp: group members by the program's rules, and the findings among them.

#include "findings.h"

#include "causes.h"
#include "checks/registry_checks.h"
#include "checks/registry_values.h"
#include "host/ansi_text.h"
#include "host/sim/sim_host.h"
#include "line_forms.h"
#include "report/text.h"

namespace {

bool not_in_order(DriverStatus s) { return s == STATUS_ERR || s == STATUS_UNSURE; }

DriverStatus shown_status(const LogReading& r, int index) {
  if (index < 0 || index >= static_cast<int>(r.lines.size())) return STATUS_UNSURE;
  const std::string& line = r.lines[index];
  for (DriverStatus s : {STATUS_AOK, STATUS_ERR, STATUS_UNSURE, STATUS_NR})
    if (line.compare(0, 5, std::string("(") + status_text(s) + ")") == 0) return s;
  return STATUS_UNSURE;
}

const SimRegistryValue* machine_value(const SimMachine& m, const std::string& key,
                                      const std::string& name) {
  auto k = m.registry.find(sim_fold(key));
  if (k == m.registry.end()) return nullptr;
  auto v = k->second.values.find(sim_fold(name));
  return v == k->second.values.end() ? nullptr : &v->second;
}

struct Context {
  const LogReading& r;
  GroupFindings& group;
  Finding make(FindingKind kind, int index, const std::string& subject,
               const std::string& accepted) const {
    std::string shown =
        index >= 0 && index < static_cast<int>(r.lines.size()) ? r.lines[index] : "";
    return {kind, file_line(r, index), subject, shown, accepted};
  }
};

std::string pairs_text(int slot, OsClass os) {
  std::string text;
  for (const AcceptedPair& pair : DRIVER_FILES[slot].accepted)
    if (pair_accepted_on(pair, os))
      text += format_text("%s%u bytes dated %s", text.empty() ? "" : ", or ", pair.size, pair.date);
  return text;
}

void file_finding(Context& c, int slot) {
  const DriverFileSlot& probed = c.r.run.table.slots[slot];
  if (!not_in_order(probed.status)) return;
  FindingKind kind = FINDING_FILE_MISSING;
  if (probed.found) {
    kind = FINDING_FILE_OTHER_RELEASE;
    for (const AcceptedPair& pair : DRIVER_FILES[slot].accepted)
      if (pair_accepted_on(pair, c.r.facts.os) && pair.size == probed.size)
        kind = FINDING_FILE_DATE_CHANGED;
  }
  c.group.findings.push_back(
      c.make(kind, c.r.facts.file_line[slot], probed.name, pairs_text(slot, c.r.facts.os)));
}

std::string expected_text(const ValueRule& rule) {
  if (rule.kind == VALUE_TEXT)
    return std::string("\"") + rule.expected_text + "\" (letter case aside)";
  std::string text;
  for (int i = 0; i < rule.number_count; i++)
    text += format_text("%s0x%08X", i ? " or " : "", rule.expected_numbers[i]);
  return text;
}

// A number whose bytes are the digits of a text and its NUL.
bool number_as_text(const std::vector<std::uint8_t>& data) {
  bool digit = false;
  for (std::uint8_t b : data) {
    if (b == 0) return digit;
    if (b < '0' || b > '9') return false;
    digit = true;
  }
  return false;
}

void rule_findings(Context& c, int check) {
  const SimMachine& m = c.r.machine;
  const KeyForm& form = line_forms().rule_keys[check];
  const int head = c.r.facts.key_line[check];
  const KeyCheck& facts = REGISTRY_CHECKS[check];
  std::string subject = "HKLM\\" + form.key;
  if (!m.registry.count(sim_fold(form.key))) {
    c.group.findings.push_back(
        c.make(FINDING_KEY_MISSING, head, subject, "the key with its values"));
    return;
  }
  for (int i = 0; i < facts.rule_count; i++) {
    const ValueRule& rule = facts.rules[i];
    const SimRegistryValue* v = machine_value(m, form.key, rule.name);
    const int index = head + 1 + i;
    const std::string name = subject + " \"" + rule.name + "\"";
    if (!v) {
      if (rule.unreadable_status != STATUS_AOK)
        c.group.findings.push_back(c.make(FINDING_VALUE_MISSING, index, name, expected_text(rule)));
      continue;
    }
    bool expected = false;
    if (rule.kind == VALUE_TEXT) {
      std::string text(v->data.begin(), v->data.end());
      SimHost host(m);  // letter case as the machine's code page has it
      expected = ansi_same_ignoring_case(host, text.c_str(), rule.expected_text);
    } else {
      std::uint32_t n = 0;
      for (std::size_t b = 0; b < v->data.size() && b < 4; b++)
        n |= std::uint32_t(v->data[b]) << (8 * b);
      for (int k = 0; k < rule.number_count; k++)
        expected = expected || n == rule.expected_numbers[k];
    }
    if (expected) continue;
    FindingKind kind = rule.kind == VALUE_NUMBER && number_as_text(v->data) ? FINDING_NUMBER_AS_TEXT
                                                                            : FINDING_VALUE_OTHER;
    c.group.findings.push_back(c.make(kind, index, name, expected_text(rule)));
  }
}

std::string vdd_entry(const LogReading& r) {
  return vdd_entry_path(r.facts.windows_dir_shown ? r.machine.windows_dir : "<Windows directory>");
}

void vdd_findings(Context& c) {
  const SimMachine& m = c.r.machine;
  const std::string& key = line_forms().vdd.key.key;
  const int head = c.r.facts.key_line[3];
  std::string subject = "HKLM\\" + key;
  if (!m.registry.count(sim_fold(key)))
    c.group.findings.push_back(
        c.make(FINDING_KEY_MISSING, head, subject, "an entry " + vdd_entry(c.r)));
  else if (!machine_value(m, key, "VDD"))
    c.group.findings.push_back(c.make(FINDING_VALUE_MISSING, head + 1, subject + " \"VDD\"",
                                      "an entry " + vdd_entry(c.r)));
  else
    c.group.findings.push_back(c.make(FINDING_VDD_ENTRY_MISSING, head + 1, subject + " \"VDD\"",
                                      "an entry " + vdd_entry(c.r)));
}

void service_finding(Context& c) {
  const SimMachine& m = c.r.machine;
  FindingKind kind = FINDING_SERVICE_UNKNOWN;
  auto service = m.services.begin();
  if (m.service_manager_open_error == HOSTERR_ACCESS_DENIED) {
    kind = FINDING_SERVICE_DENIED;
  } else if (m.service_manager_open_error == HOSTERR_SUCCESS) {
    if (service == m.services.end())
      kind = FINDING_SERVICE_MISSING;
    else if (service->second.open_error == HOSTERR_ACCESS_DENIED)
      kind = FINDING_SERVICE_DENIED;
    else if (service->second.open_error == HOSTERR_SUCCESS && !service->second.query_fails &&
             service->second.state >= 1 && service->second.state <= 7)
      kind = FINDING_SERVICE_NOT_RUNNING;
  }
  std::string running;
  for (const ServiceForm& form : service_forms(c.r.facts.os))
    if (form.has_service && form.service.state == 4 && !form.service.query_fails &&
        !form.service.open_error)
      running = form.line;
  c.group.findings.push_back(
      c.make(kind, c.r.facts.userport_line, "the UserPort service", "\"" + running + "\""));
}

void add_notes(const LogReading& r, Explanation* e) {
  const SimMachine& m = r.machine;
  const std::string shared = shared_use_key();
  for (int slot = 0; slot < DRIVER_SLOT_COUNT; slot++) {
    const DriverFileSlot& f = r.run.table.slots[slot];
    const int line = file_line(r, r.facts.file_line[slot]);
    if (!f.found) continue;
    const SimRegistryValue* count = machine_value(m, shared, f.path);
    if (count && count->data.size() == 4 && count->data == std::vector<std::uint8_t>(4, 0))
      e->notes.push_back({line, f.name + ": shared-use count 0: the next uninstall of any "
                                         "program that shares it may delete it"});
    auto placeholder = line_forms().version_placeholders.find(f.version);
    if (f.status != STATUS_NR && placeholder != line_forms().version_placeholders.end() &&
        placeholder->second != SIM_VERSION_ABSENT)
      e->notes.push_back({line, f.name + ": its version resource cannot be read (\"" + f.version +
                                    "\"): the file may be damaged"});
  }
  const int vdd_head = r.facts.key_line[3];
  if (shown_status(r, vdd_head) == STATUS_NR && r.facts.windows_dir_shown)
    e->notes.push_back({file_line(r, vdd_head + 1),
                        "a VDD entry for DOWNTVDD.DLL is registered, though only Windows NT 4 "
                        "uses it: a left-over of an earlier Windows, harmless"});
  const int tmex = r.facts.tmex_line;
  for (int i = tmex;
       i >= 0 && i < static_cast<int>(r.lines.size()) && !r.lines[i].empty() && r.lines[i] != " ";
       i++)
    if (r.lines[i].find("(ERR)") != std::string::npos) {
      std::string answering;
      for (const std::string& line : line_forms().port_present) answering += "\n    " + line;
      e->notes.push_back(
          {file_line(r, i), "the TMEX library itself: " + r.lines[i] + "; a working TMEX shows" +
                                "\n    " + line_forms().tmex_present + answering +
                                "\n    Likely: " + cause_of(FINDING_TMEX_NOT_ANSWERING).cause});
      break;
    }
  if (r.facts.date_time_read && r.facts.date_time.order_ambiguous)
    e->notes.push_back({file_line(r, 3),
                        "the date can be read in another order: the report does "
                        "not tell which regional setting wrote it"});
}

}  // namespace

Explanation explain_reading(const LogReading& r) {
  Explanation e = {};
  const OsClass os = r.facts.os;
  // The head line of each check result, whose status is the result.
  const int result_lines[CHECK_RESULT_COUNT] = {r.facts.key_line[0], r.facts.key_line[1],
                                                r.facts.key_line[2], r.facts.key_line[3],
                                                r.facts.userport_line};
  bool err = false, unsure = false;
  for (int g = 0; g < GROUP_COUNT; g++) {
    const DriverGroup which = static_cast<DriverGroup>(g);
    GroupFindings& group = e.groups[g];
    group.title = line_forms().summary[g];
    group.status = shown_status(r, r.facts.group_line + g);  // the program's own, as read
    group.line = file_line(r, r.facts.group_line + g);
    err = err || group.status == STATUS_ERR;
    unsure = unsure || group.status == STATUS_UNSURE;
    if (!not_in_order(group.status)) continue;
    Context c{r, group};
    for (int slot = 0; slot < DRIVER_SLOT_COUNT; slot++)
      if (file_in_group(static_cast<DriverSlot>(slot), which, os)) file_finding(c, slot);
    for (int k = 0; k < CHECK_RESULT_COUNT; k++) {
      const CheckResult result = static_cast<CheckResult>(k);
      if (!result_in_group(result, which) || !not_in_order(shown_status(r, result_lines[k])))
        continue;
      if (result == RESULT_USERPORT_SERVICE)
        service_finding(c);
      else if (result == RESULT_VDD_REGISTRY)
        vdd_findings(c);
      else
        rule_findings(c, k);
    }
  }
  add_notes(r, &e);
  e.exit_code = err ? 1 : unsure ? 2 : 0;
  return e;
}
