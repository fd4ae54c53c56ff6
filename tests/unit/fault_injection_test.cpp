// Every counted host call of a run, made to fail in each way it can fail,
// on a fully installed machine of each class: the run completes with the
// report's outline intact, the broken call ends in its placeholder and
// status, nothing else of the report changes but the summary statuses, and
// every handle that was opened is closed.

#include <gtest/gtest.h>

#include <cstdio>

#include "host/sim/faulty_host.h"
#include "report_outline.h"
#include "test_machines.h"

namespace {

const int SUMMARY_LINES = 13;

struct FaultRun {
  std::vector<std::string> lines;
  std::vector<HostCallRecord> calls;
  bool injected;
  int open_handles;
  int bad_closes;
};

FaultRun run_with_fault(const SimMachine& machine, int n, HostFault fault) {
  SimHost sim(machine);
  FaultyHost host(sim);
  host.fail_call(n, fault);
  ProcessValues values = values_for(host);
  RunContext ctx = {host, values};
  LineCapture capture;
  IconRecorder icons;
  DriverFileTable table;
  run_status(ctx, &table, capture.sink, icons);
  return {capture.list.lines, host.calls(), host.fault_injected(), sim.open_handle_count(),
          sim.bad_close_count()};
}

bool starts(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::string base_name(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

// The report of a run in which one call failed, derived from the report of
// the same machine without the failure. Summary lines are left as they were;
// the caller compares only their texts.
class ExpectedReport {
 public:
  ExpectedReport(const std::vector<std::string>& clean, const SimMachine& machine)
      : lines(clean), machine_(machine) {}

  std::vector<std::string> lines;

  std::size_t index_where(bool (*match)(const std::string&, const std::string&),
                          const std::string& what) const {
    for (std::size_t i = 0; i < lines.size(); i++)
      if (match(lines[i], what)) return i;
    ADD_FAILURE() << "no line for " << what;
    return 0;
  }

  // --- driver file lines ---

  static bool is_slot_line(const std::string& line, const std::string& name) {
    char head[16];
    std::snprintf(head, sizeof head, "%12s", name.c_str());
    return line.size() > 18 && line.compare(6, 12, head) == 0;
  }
  std::string& slot_line(const std::string& path) {
    return lines[index_where(is_slot_line, base_name(path))];
  }
  void slot_not_found(const std::string& path) {
    std::string& line = slot_line(path);
    const char* status = starts(line, "(n/r)") ? "n/r" : "ERR";
    char text[64];
    std::snprintf(text, sizeof text, "(%s) %12s Not Found.", status, base_name(path).c_str());
    line = text;
  }
  void slot_version(const std::string& path, const std::string& version) {
    std::string& line = slot_line(path);
    line = line.substr(0, line.find("  Vers: ") + 8) + version;
  }
  void slot_shared_count_unknown(const std::string& path) {
    std::string& line = slot_line(path);
    std::size_t count = line.find("Shr-Cnt:") + 8;
    line.replace(count, line.find("  Vers: ") - count, "n/a");
  }
  void slot_status_unsure(const std::string& path) { slot_line(path).replace(0, 5, "( ? )"); }
  void slot_date_empty(const std::string& path) {
    // "(S) %12s %7u  " then the date, then "  Shr-Cnt:".
    std::string& line = slot_line(path);
    const std::size_t date = 6 + 12 + 1 + 7 + 2;
    line.erase(date, line.find("  Shr-Cnt:") - date);
  }

  // --- system lines ---

  std::string& version_line() { return lines[5]; }
  void nt_part(const std::string& label, const std::string& next_label) {
    std::string& line = version_line();
    std::size_t at = line.find(label);
    ASSERT_NE(at, std::string::npos) << line;
    at += label.size();
    std::size_t end = next_label.empty() ? line.size() : line.find(next_label);
    line.replace(at, end - at, "Not Available");
  }
  void version_fallback() {
    std::string& line = version_line();
    std::size_t rest = line.find(", CSDVersion: ");
    line = "Windows Version: 4.0" + (rest == std::string::npos ? "" : line.substr(rest));
  }
  void no_sub_version() {
    const SimRegistryKey& key =
        machine_.registry.at(sim_fold("SOFTWARE\\Microsoft\\Windows\\CurrentVersion"));
    const std::vector<std::uint8_t>& data = key.values.at("versionnumber").data;
    version_line() = "Windows Version: " + std::string(data.begin(), data.end() - 1);
  }
  void cpu_key_missing() {
    for (const std::string& line : lines)
      if (line == "CPU Registry Key Not Found.") return;  // not there without the fault either
    std::size_t at = index_where(
        [](const std::string& l, const std::string& p) { return starts(l, p); }, "CPU Vendor: ");
    lines.erase(lines.begin() + at, lines.begin() + at + 4);
    lines.insert(lines.begin() + at, "CPU Registry Key Not Found.");
  }
  void cpu_value_unavailable(const std::string& value) {
    const char* label = value == "VendorIdentifier" ? "CPU Vendor: "
                        : value == "Identifier"     ? "CPU Identifier: "
                        : value == "~MHz"           ? "CPU Speed: "
                                                    : "CPU ProcessorNameString: ";
    std::size_t at =
        index_where([](const std::string& l, const std::string& p) { return starts(l, p); }, label);
    lines[at] = std::string(label) + "Unavailable";
  }

  // --- registry blocks ---

  static bool is_head_of(const std::string& line, const std::string& key) {
    return line.size() > 6 && starts(line.substr(6), "HKLM\\" + key + ": ");
  }
  void key_not_found(const std::string& key) {
    std::size_t head = index_where(is_head_of, key);
    const char* status = starts(lines[head], "(n/r)") ? "(n/r)" : "(ERR)";
    lines[head] = std::string(status) + " HKLM\\" + key + ": Not Found.";
    while (head + 1 < lines.size() && starts(lines[head + 1], "      "))
      lines.erase(lines.begin() + head + 1);
  }
  void value_unreadable(const std::string& key, const std::string& name) {
    std::size_t head = index_where(is_head_of, key);
    if (lines[head].find(": Not Found.") != std::string::npos) return;  // never read
    std::size_t at = head + 1;
    if (name == "VDD") {
      lines[at] = "      VDD: Not Found (ERR),";
    } else {
      while (lines[at].find(" " + name + ": ") == std::string::npos) at++;
      std::string found_form =
          name == "Support" || name == "TestBusy" ? "Not Found (AOK)," : "Not Found (ERR),";
      lines[at] = lines[at].substr(0, lines[at].find(name + ": ") + name.size() + 2) + found_form;
      if (found_form == "Not Found (AOK),") return;
    }
    if (!starts(lines[head], "(n/r)")) lines[head].replace(0, 5, "(ERR)");
  }

  // --- TMEX probe and UserPort ---

  std::size_t tmex_main_line() const {
    return index_where([](const std::string& l, const std::string& p) { return starts(l, p); },
                       "(AOK) IBFS32.DLL (Main TMEX Driver)");
  }
  void tmex_library_missing() {
    std::size_t at = tmex_main_line();
    lines[at] = "(ERR) IBFS32.DLL (Main TMEX Driver) is not Present.";
    lines.erase(lines.begin() + at + 1, lines.begin() + at + 4);
  }
  void tmex_function_missing(std::uint32_t error) {
    std::size_t at = tmex_main_line();
    lines.erase(lines.begin() + at + 1, lines.begin() + at + 4);
    char text[64];
    std::snprintf(text, sizeof text, " (ERR) GetProcAddress failed with error: %u", error);
    lines.insert(lines.begin() + at + 1, text);
  }
  void userport(const std::string& line) {
    lines[index_where(
        [](const std::string& l, const std::string&) { return l.find(") UserPort: ") == 4; },
        "the UserPort line")] = line;
  }

 private:
  const SimMachine& machine_;
};

const char NT_VERSION_KEY[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char WIN9X_VERSION_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char CPU_KEY[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
const char SHARED_DLLS_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// What the report shows when call n (from 1) of `calls`, the counted calls
// of the run without a fault, fails with `fault`.
void apply_fault(ExpectedReport& r, const std::vector<HostCallRecord>& calls, std::size_t n,
                 HostFault fault) {
  const HostCallRecord& c = calls[n - 1];
  // How many earlier calls were the same call on the same target.
  int earlier = 0;
  for (std::size_t i = 0; i + 1 < n; i++)
    if (calls[i].call == c.call && calls[i].target == c.target) earlier++;

  if (c.call == "find_directory_entry") return r.slot_not_found(c.target);
  if (c.call == "version_info_size") return r.slot_version(c.target, "n/a");
  if (c.call == "version_info_open") return r.slot_version(c.target, "");
  if (c.call == "version_info_query")
    return r.slot_version(c.file_path, starts(c.target, "\\VarFileInfo") ? "Code Page N/A" : "n/a");
  if (c.call == "utc_to_local_calendar") {
    // A required slot converts its time twice: to judge it, then for its line.
    bool judged = !starts(r.slot_line(c.target), "(n/r)");
    if (judged && earlier == 0) return r.slot_status_unsure(c.target);
    return r.slot_date_empty(c.target);
  }
  if (c.call == "reg_open" || c.call == "reg_query_value") {
    const bool open = c.call == "reg_open";
    const std::string key = open ? c.target : c.key_path;
    if (key == SHARED_DLLS_KEY) return r.slot_shared_count_unknown(c.file_path);
    if (key == WIN9X_VERSION_KEY)
      return open || c.target == "VersionNumber" ? r.version_fallback() : r.no_sub_version();
    if (key == NT_VERSION_KEY) {
      // The key is opened once for each part of the line; the read that
      // followed the opening in the run without a fault tells which. With
      // no read, the key did not open without the fault either.
      if (open && (n >= calls.size() || calls[n].key_path != NT_VERSION_KEY)) return;
      std::string part = open ? calls[n].target : c.target;
      if (part == "CurrentVersion") return r.version_fallback();
      if (part == "CSDVersion") return r.nt_part("CSDVersion: ", ", Build Number: ");
      return r.nt_part("Build Number: ", "");
    }
    if (key == CPU_KEY) return open ? r.cpu_key_missing() : r.cpu_value_unavailable(c.target);
    return open ? r.key_not_found(key) : r.value_unreadable(key, c.target);
  }
  if (c.call == "load_library") return r.tmex_library_missing();
  if (c.call == "find_function")
    return r.tmex_function_missing(fault == FAULT_ABSENT          ? HOSTERR_PROC_NOT_FOUND
                                   : fault == FAULT_ACCESS_DENIED ? HOSTERR_ACCESS_DENIED
                                                                  : FAULT_OTHER_ERROR_CODE);
  if (c.call == "open_service_manager")
    return r.userport(fault == FAULT_ACCESS_DENIED
                          ? "( ? ) UserPort: User not authorized to access Services database."
                          : "( ? ) UserPort: Unable to access the Services database!");
  if (c.call == "open_service")
    return r.userport(fault == FAULT_ACCESS_DENIED
                          ? "( ? ) UserPort: User not authorized to open Service."
                      : fault == FAULT_ABSENT ? "(ERR) UserPort: Service does not exist!"
                                              : "(ERR) UserPort: Unable to open the Service.");
  if (c.call == "query_service_state")
    return r.userport("( ? ) UserPort: Unable to query the Service.");
  ADD_FAILURE() << "no expectation for a failing " << c.call;
}

const OsClass EVERY_CLASS[] = {OS_WIN95A, OS_WIN95B,  OS_WIN98, OS_WINME,         OS_NT351,
                               OS_NT4,    OS_WIN2000, OS_WINXP, OS_OTHER_PLATFORM};

class FaultInjection : public ::testing::TestWithParam<OsClass> {};

TEST_P(FaultInjection, EveryCallFailingInEveryWayKeepsTheReportHonest) {
  const SimMachine machine = complete_machine(GetParam());
  const FaultRun clean = run_with_fault(machine, 0, FAULT_ABSENT);
  ASSERT_EQ(report_outline_fault(clean.lines), "");
  ASSERT_GT(clean.calls.size(), 50u);

  int runs = 0;
  for (std::size_t n = 1; n <= clean.calls.size(); n++) {
    for (int k = 0; k < HOST_FAULT_KINDS; k++) {
      HostFault fault = static_cast<HostFault>(k);
      if (!host_fault_applies(clean.calls[n - 1].call, fault)) continue;
      FaultRun run = run_with_fault(machine, static_cast<int>(n), fault);
      runs++;
      const HostCallRecord& c = clean.calls[n - 1];
      SCOPED_TRACE("call " + std::to_string(n) + ": " + c.call + " " + c.key_path + " " + c.target +
                   " fails: " + host_fault_name(fault));
      ASSERT_TRUE(run.injected);
      EXPECT_EQ(report_outline_fault(run.lines), "") << joined(run.lines);
      EXPECT_EQ(run.open_handles, 0);
      EXPECT_EQ(run.bad_closes, 0);

      ExpectedReport expected(clean.lines, machine);
      apply_fault(expected, clean.calls, n, fault);
      ASSERT_GE(run.lines.size(), static_cast<std::size_t>(SUMMARY_LINES));
      std::vector<std::string> body(run.lines.begin(), run.lines.end() - SUMMARY_LINES);
      std::vector<std::string> expected_body(expected.lines.begin(),
                                             expected.lines.end() - SUMMARY_LINES);
      EXPECT_EQ(joined(body), joined(expected_body));
      if (HasFailure()) return;  // one broken call tells enough
    }
  }
  // Every counted call fails in at least one way.
  EXPECT_GE(runs, static_cast<int>(clean.calls.size()));
}

INSTANTIATE_TEST_SUITE_P(EveryClass, FaultInjection, ::testing::ValuesIn(EVERY_CLASS));

// A call past the last one breaks nothing: the report is the clean one.
TEST(FaultInjection, NoFaultPastTheLastCall) {
  const SimMachine machine = complete_machine(OS_WINXP);
  const FaultRun clean = run_with_fault(machine, 0, FAULT_ABSENT);
  FaultRun run = run_with_fault(machine, static_cast<int>(clean.calls.size()) + 1, FAULT_ABSENT);
  EXPECT_FALSE(run.injected);
  EXPECT_EQ(joined(run.lines), joined(clean.lines));
}

}  // namespace
