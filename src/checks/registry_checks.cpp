// registry_checks.cpp: the four registry configuration checks.

#include "checks/registry_checks.h"

#include <vector>

#include "checks/evaluation.h"
#include "checks/failure_texts.h"
#include "checks/registry_values.h"
#include "report/text.h"

namespace {

enum ValueKind { VALUE_TEXT, VALUE_NUMBER };

// One value of a checked key: what is expected, and what each finding adds
// to the value line and makes of the check's status.
struct ValueRule {
  const char* name;
  ValueKind kind;
  const char* expected_text;          // VALUE_TEXT, compared without regard to case
  std::uint32_t expected_numbers[2];  // VALUE_NUMBER: any of the first number_count
  int number_count;
  const char* unreadable_text;  // "Not Found (ERR)," or "Not Found (AOK),"
  DriverStatus unreadable_status;
  const char* expected_suffix;
  const char* other_suffix;
  DriverStatus other_status;
};

struct KeyCheck {
  const char* key;
  int name_width;  // the longest value name, so that the colons line up
  const ValueRule* rules;
  int rule_count;
  bool (*counts_on)(OsClass);
};

const ValueRule ROCKEY9X_RULES[] = {
    {"StaticVxD",
     VALUE_TEXT,
     "Rockey9x.vxd",
     {0, 0},
     0,
     VALUE_MISSING_ERR_TEXT,
     STATUS_ERR,
     " (AOK),",
     " (ERR),",
     STATUS_ERR},
    {"Support",
     VALUE_NUMBER,
     nullptr,
     {0, 0},
     1,
     VALUE_MISSING_AOK_TEXT,
     STATUS_AOK,
     " (AOK),",
     " ( ? ),",
     STATUS_UNSURE},
    // The block's last line ends in a full stop when a value was read.
    {"TestBusy",
     VALUE_NUMBER,
     nullptr,
     {0, 1},
     2,
     VALUE_MISSING_AOK_TEXT,
     STATUS_AOK,
     " (AOK).",
     " ( ? ).",
     STATUS_UNSURE},
};

#define ERR_TEXT_RULE(name, expected)                                                     \
  {                                                                                       \
    name, VALUE_TEXT, expected, {0, 0}, 0, VALUE_MISSING_ERR_TEXT, STATUS_ERR, " (AOK),", \
        " (ERR),", STATUS_ERR                                                             \
  }
#define ERR_NUMBER_RULE(name, expected)                                                           \
  {                                                                                               \
    name, VALUE_NUMBER, nullptr, {expected, 0}, 1, VALUE_MISSING_ERR_TEXT, STATUS_ERR, " (AOK),", \
        " (ERR),", STATUS_ERR                                                                     \
  }

const ValueRule TMEX_RULES[] = {
    ERR_TEXT_RULE("MainDriver", "IBFS32.DLL"),
    ERR_TEXT_RULE("TYPE1", "IB97E32.DLL"),
    ERR_TEXT_RULE("TYPE2", "IB10E32.DLL"),
    ERR_TEXT_RULE("TYPE5", "IB97U32.DLL"),
};

const ValueRule DS1410D_RULES[] = {
    ERR_NUMBER_RULE("ErrorControl", 1), ERR_TEXT_RULE("Group", "Extended Base"),
    ERR_NUMBER_RULE("Start", 2),        ERR_NUMBER_RULE("Tag", 2),
    ERR_NUMBER_RULE("Type", 1),
};

#undef ERR_TEXT_RULE
#undef ERR_NUMBER_RULE

bool on_win9x(OsClass os) { return os_in(WIN9X_CLASSES, os); }
bool on_nt(OsClass os) { return os_in(NT_CLASSES, os); }
bool on_every_class(OsClass /*os*/) { return true; }
bool on_nt4(OsClass os) { return os == OS_NT4; }

const KeyCheck ROCKEY9X_CHECK = {"System\\CurrentControlSet\\Services\\VxD\\Rockey9x", 9,
                                 ROCKEY9X_RULES, 3, on_win9x};
const KeyCheck TMEX_CHECK = {"Software\\Dallas Semiconductor\\iButton TMEX\\3.00", 10, TMEX_RULES,
                             4, on_every_class};
const KeyCheck DS1410D_CHECK = {"System\\CurrentControlSet\\Services\\DS1410D", 12, DS1410D_RULES,
                                5, on_nt};
const std::uint32_t VDD_LIST_CAPACITY = 256;

// Reads one value and completes its line; returns the finding's status.
DriverStatus check_value(const RegistryKey& key, const ValueRule& rule, std::string* line) {
  bool expected = false;
  if (rule.kind == VALUE_TEXT) {
    std::string text;
    if (!key.read_text(rule.name, &text)) {
      *line += rule.unreadable_text;
      return rule.unreadable_status;
    }
    *line += text;
    expected = same_text_ignoring_case(text, rule.expected_text);
  } else {
    std::uint32_t number = 0;
    if (!key.read_number(rule.name, &number)) {
      *line += rule.unreadable_text;
      return rule.unreadable_status;
    }
    *line += format_text("0x%08X", number);
    for (int i = 0; i < rule.number_count; i++)
      if (number == rule.expected_numbers[i]) expected = true;
  }
  *line += expected ? rule.expected_suffix : rule.other_suffix;
  return expected ? STATUS_AOK : rule.other_status;
}

// The head line, then each value line below it with six blanks.
void write_block(ReportSink& sink, DriverStatus status, const std::string& head,
                 const std::vector<std::string>& value_lines) {
  report_line(sink, format_text("(%s) %s", status_text(status), head.c_str()));
  for (const std::string& line : value_lines)
    if (!line.empty()) report_line(sink, "      " + line);
}

// Reads the values of an open key into value lines; returns the status.
typedef DriverStatus (*ValueReader)(const RunContext& ctx, const RegistryKey& key,
                                    const KeyCheck& check, std::vector<std::string>* lines);

DriverStatus read_rule_values(const RunContext& /*ctx*/, const RegistryKey& key,
                              const KeyCheck& check, std::vector<std::string>* lines) {
  // A found error is never hidden by a later finding that is merely unsure:
  // the findings combine as the driver groups do.
  DriverStatus status = STATUS_AOK;
  for (int i = 0; i < check.rule_count; i++) {
    std::string line = format_text("%*s: ", check.name_width, check.rules[i].name);
    status = combine(status, check_value(key, check.rules[i], &line));
    lines->push_back(line);
  }
  return status;
}

// Opens the key, reads its values and writes the block; on a class where
// the finding does not count the lines still show, marked "(n/r)".
DriverStatus run_key_check(const RunContext& ctx, ReportSink& sink, const KeyCheck& check,
                           ValueReader read_values) {
  std::string head = format_text("HKLM\\%s: ", check.key);
  std::vector<std::string> value_lines;
  DriverStatus status;
  RegistryKey key(ctx.host);
  if (!key.open(check.key, REG_ACCESS_READ)) {
    head += NOT_FOUND_TEXT;
    status = STATUS_ERR;
  } else {
    head += "Found,";
    status = read_values(ctx, key, check, &value_lines);
  }
  if (!check.counts_on(ctx.values.sys_os)) status = STATUS_NR;
  write_block(sink, status, head, value_lines);
  return status;
}

// True when some entry of the list ends with `target`, letter case aside:
// every byte position of the whole buffer is tried, up to the last at which
// the target still fits, and the text from there runs to the next NUL.
bool vdd_list_names(const char (&list)[VDD_LIST_CAPACITY], const std::string& target) {
  const std::size_t length = target.size();
  if (length > VDD_LIST_CAPACITY - 1) return false;  // no position can hold it
  for (std::size_t p = 0; p + length <= VDD_LIST_CAPACITY - 1; p++) {
    std::size_t end = p;
    while (end < VDD_LIST_CAPACITY && list[end] != '\0') end++;
    if (same_text_ignoring_case(std::string(list + p, end - p), target)) return true;
  }
  return false;
}

// The "VDD" list: found when an entry names DOWNTVDD.DLL in SYSTEM32 of
// the Windows directory.
DriverStatus read_vdd_list(const RunContext& ctx, const RegistryKey& key, const KeyCheck& /*check*/,
                           std::vector<std::string>* lines) {
  std::string line = format_text("%3s: ", "VDD");
  char list[VDD_LIST_CAPACITY] = {};
  std::uint32_t size = 0;
  DriverStatus status = STATUS_AOK;
  if (!key.read("VDD", list, sizeof list, &size)) {
    line = VDD_MISSING_TEXT;
    status = STATUS_ERR;
  } else {
    std::string target = ctx.values.windows_dir + "\\SYSTEM32\\DOWNTVDD.DLL";
    if (vdd_list_names(list, target)) {
      line = target + " (AOK).";  // the whole line names the entry found
    } else {
      line += "Downtvdd.dll Entry Not Found.";
      status = STATUS_ERR;
    }
  }
  lines->push_back(line);
  return status;
}

const KeyCheck VDD_CHECK = {"System\\CurrentControlSet\\Control\\VirtualDeviceDrivers", 3, nullptr,
                            0, on_nt4};

}  // namespace

DriverStatus check_rockey9x_registry(const RunContext& ctx, ReportSink& sink) {
  return run_key_check(ctx, sink, ROCKEY9X_CHECK, read_rule_values);
}

DriverStatus check_tmex_registry(const RunContext& ctx, ReportSink& sink) {
  return run_key_check(ctx, sink, TMEX_CHECK, read_rule_values);
}

DriverStatus check_ds1410d_registry(const RunContext& ctx, ReportSink& sink) {
  return run_key_check(ctx, sink, DS1410D_CHECK, read_rule_values);
}

DriverStatus check_vdd_registry(const RunContext& ctx, ReportSink& sink) {
  return run_key_check(ctx, sink, VDD_CHECK, read_vdd_list);
}
