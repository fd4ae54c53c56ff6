// registry_checks.cpp: the four registry configuration checks.

#include "checks/registry_checks.h"

#include <initializer_list>
#include <vector>

#include "checks/evaluation.h"
#include "checks/failure_texts.h"
#include "checks/registry_values.h"
#include "host/ansi_text.h"
#include "report/text.h"

namespace {

// A value that must be there and hold this text (in any letter case).
constexpr ValueRule required_text(const char* name, const char* expected) {
  return {.name = name,
          .kind = VALUE_TEXT,
          .expected_text = expected,
          .expected_numbers = {},
          .number_count = 0,
          .unreadable_text = VALUE_MISSING_ERR_TEXT,
          .unreadable_status = STATUS_ERR,
          .expected_suffix = " (AOK),",
          .other_suffix = " (ERR),",
          .other_status = STATUS_ERR};
}

// A value that must be there and hold this number.
constexpr ValueRule required_number(const char* name, std::uint32_t expected) {
  ValueRule rule = required_text(name, nullptr);
  rule.kind = VALUE_NUMBER;
  rule.expected_numbers[0] = expected;
  rule.number_count = 1;
  return rule;
}

// A value that may be absent; any number but these makes the check unsure.
constexpr ValueRule optional_number(const char* name, std::initializer_list<std::uint32_t> expected,
                                    const char* expected_suffix, const char* other_suffix) {
  ValueRule rule = required_number(name, 0);
  rule.number_count = 0;
  for (std::uint32_t n : expected) rule.expected_numbers[rule.number_count++] = n;
  rule.unreadable_text = VALUE_MISSING_AOK_TEXT;
  rule.unreadable_status = STATUS_AOK;
  rule.expected_suffix = expected_suffix;
  rule.other_suffix = other_suffix;
  rule.other_status = STATUS_UNSURE;
  return rule;
}

// A list of paths of which one must end with the Windows directory and `path`.
constexpr ValueRule path_list_entry(const char* name, const char* path) {
  ValueRule rule = required_text(name, path);
  rule.kind = VALUE_PATH_LIST;
  rule.expected_suffix = " (AOK).";
  rule.other_suffix = "Downtvdd.dll Entry Not Found.";
  return rule;
}

constexpr ValueRule ROCKEY9X_RULES[] = {
    required_text("StaticVxD", "Rockey9x.vxd"),
    optional_number("Support", {0}, " (AOK),", " ( ? ),"),
    // The block's last line ends in a full stop when a value was read.
    optional_number("TestBusy", {0, 1}, " (AOK).", " ( ? )."),
};

constexpr ValueRule TMEX_RULES[] = {
    required_text("MainDriver", "IBFS32.DLL"),
    required_text("TYPE1", "IB97E32.DLL"),
    required_text("TYPE2", "IB10E32.DLL"),
    required_text("TYPE5", "IB97U32.DLL"),
};

constexpr ValueRule DS1410D_RULES[] = {
    required_number("ErrorControl", 1), required_text("Group", "Extended Base"),
    required_number("Start", 2),        required_number("Tag", 2),
    required_number("Type", 1),
};

constexpr ValueRule VDD_RULES[] = {
    path_list_entry("VDD", "\\SYSTEM32\\DOWNTVDD.DLL"),
};

constexpr int text_length(const char* text) {
  int n = 0;
  while (text[n] != '\0') n++;
  return n;
}

// A key's row with its rule count and name width taken from its rules.
template <int N>
constexpr KeyCheck key_check(RegistryCheck check, const char* key, const ValueRule (&rules)[N],
                             OsClassSet counts_on) {
  int width = 0;
  for (const ValueRule& rule : rules)
    if (text_length(rule.name) > width) width = text_length(rule.name);
  return {.check = check,
          .key = key,
          .rules = rules,
          .rule_count = N,
          .name_width = width,
          .counts_on = counts_on};
}

}  // namespace

constexpr KeyCheck REGISTRY_CHECKS[REGISTRY_CHECK_COUNT] = {
    key_check(REGISTRY_ROCKEY9X, "System\\CurrentControlSet\\Services\\VxD\\Rockey9x",
              ROCKEY9X_RULES, WIN9X_CLASSES),
    key_check(REGISTRY_TMEX, "Software\\Dallas Semiconductor\\iButton TMEX\\3.00", TMEX_RULES,
              EVERY_CLASS),
    key_check(REGISTRY_DS1410D, "System\\CurrentControlSet\\Services\\DS1410D", DS1410D_RULES,
              NT_CLASSES),
    key_check(REGISTRY_VDD, "System\\CurrentControlSet\\Control\\VirtualDeviceDrivers", VDD_RULES,
              os_classes({OS_NT4})),
};

namespace {

// A row left out, or one out of order, stops the build.
constexpr bool rows_in_check_order() {
  for (int i = 0; i < REGISTRY_CHECK_COUNT; i++)
    if (REGISTRY_CHECKS[i].check != i || REGISTRY_CHECKS[i].key == nullptr) return false;
  return true;
}
static_assert(rows_in_check_order(), "REGISTRY_CHECKS holds one row per check, in check order");

const std::uint32_t PATH_LIST_CAPACITY = 256;

// True when some entry of the list ends with `target`, letter case aside:
// every character position of the whole buffer is tried, up to the last at
// which the target still fits, and the text from there runs to the next
// NUL. Positions go by characters, so that the second byte of a double-byte
// character never starts a match.
bool list_names(Host& host, const char (&list)[PATH_LIST_CAPACITY], const std::string& target) {
  const std::size_t length = target.size();
  if (length > PATH_LIST_CAPACITY - 1) return false;  // no position can hold it
  const std::string buffer(list, PATH_LIST_CAPACITY);
  for (std::size_t p = 0; p + length <= PATH_LIST_CAPACITY - 1; p = ansi_next(host, buffer, p)) {
    std::size_t end = p;
    while (end < PATH_LIST_CAPACITY && list[end] != '\0') end++;
    if (ansi_same_ignoring_case(host, std::string(list + p, end - p), target)) return true;
  }
  return false;
}

// Reads one value and completes its line; returns the finding's status.
DriverStatus check_value(const RunContext& ctx, const RegistryKey& key, const ValueRule& rule,
                         std::string* line) {
  bool expected = false;
  if (rule.kind == VALUE_TEXT) {
    std::string text;
    if (!key.read_text(rule.name, &text)) {
      *line += rule.unreadable_text;
      return rule.unreadable_status;
    }
    *line += text;
    expected = ansi_same_ignoring_case(ctx.host, text, rule.expected_text);
  } else if (rule.kind == VALUE_NUMBER) {
    std::uint32_t number = 0;
    if (!key.read_number(rule.name, &number)) {
      *line += rule.unreadable_text;
      return rule.unreadable_status;
    }
    *line += format_text("0x%08X", number);
    for (int i = 0; i < rule.number_count; i++)
      if (number == rule.expected_numbers[i]) expected = true;
  } else {
    char list[PATH_LIST_CAPACITY] = {};
    std::uint32_t size = 0;
    if (!key.read(rule.name, list, sizeof list, &size)) {
      *line += rule.unreadable_text;
      return rule.unreadable_status;
    }
    std::string target = ctx.values.windows_dir + rule.expected_text;
    expected = list_names(ctx.host, list, target);
    if (expected) *line = target;  // the whole line names the entry found
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

}  // namespace

// Opens the key, reads its values and writes the block; on a class where
// the finding does not count the lines still show, marked "(n/r)".
DriverStatus check_registry(const RunContext& ctx, ReportSink& sink, RegistryCheck which) {
  const KeyCheck& check = REGISTRY_CHECKS[which];
  std::string head = format_text("HKLM\\%s: ", check.key);
  std::vector<std::string> value_lines;
  DriverStatus status = STATUS_AOK;
  RegistryKey key(ctx.host);
  if (!key.open(check.key, REG_ACCESS_READ)) {
    head += NOT_FOUND_TEXT;
    status = STATUS_ERR;
  } else {
    head += "Found,";
    // A found error is never hidden by a later finding that is merely
    // unsure: the findings combine as the driver groups do.
    for (int i = 0; i < check.rule_count; i++) {
      std::string line = format_text("%*s: ", check.name_width, check.rules[i].name);
      status = combine(status, check_value(ctx, key, check.rules[i], &line));
      value_lines.push_back(line);
    }
  }
  if (!os_in(check.counts_on, ctx.values.sys_os)) status = STATUS_NR;
  write_block(sink, status, head, value_lines);
  return status;
}

DriverStatus check_rockey9x_registry(const RunContext& ctx, ReportSink& sink) {
  return check_registry(ctx, sink, REGISTRY_ROCKEY9X);
}

DriverStatus check_tmex_registry(const RunContext& ctx, ReportSink& sink) {
  return check_registry(ctx, sink, REGISTRY_TMEX);
}

DriverStatus check_ds1410d_registry(const RunContext& ctx, ReportSink& sink) {
  return check_registry(ctx, sink, REGISTRY_DS1410D);
}

DriverStatus check_vdd_registry(const RunContext& ctx, ReportSink& sink) {
  return check_registry(ctx, sink, REGISTRY_VDD);
}
