// report_outline.cpp: walking a report section by section.

#include "report_outline.h"

#include <cstdio>

namespace {

const char* const SLOT_NAMES[14] = {"Downtvdd.dll", "Ds1410d.sys", "Ib10e32.dll",  "Ib97e32.dll",
                                    "Ib97u32.dll",  "Ibfs32.dll",  "Rockey9x.vxd", "Rockeynt.sys",
                                    "Rockusb.inf",  "Rockusb.sys", "Rockvdd.dll",  "Userport.exe",
                                    "Userport.sys", "Vsauthd.vxd"};

const char* const SUMMARY_TEXTS[13] = {
    "32-Bit Rockey USB Driver Status.",         "32-Bit Rockey Parallel Driver Status.",
    "32-Bit Rockey Parallel Registry Status.",  "32-Bit iButton Parallel Driver Status.",
    "32-Bit iButton Parallel Registry Status.", "32-Bit iButton Serial Driver Status.",
    "32-Bit iButton Serial Registry Status.",   "16-Bit Rockey USB Driver Status.",
    "16-Bit Rockey Parallel Driver Status.",    "16-Bit Rockey Parallel Registry Status.",
    "16-Bit iButton Parallel Driver Status.",   "16-Bit iButton Parallel Registry Status.",
    "16-Bit iButton Parallel UserPort Status."};

const char* const USERPORT_MESSAGES[] = {
    "UserPort: Not Required.",
    "UserPort: Status Unknown.",
    "UserPort: Service Stopped.",
    "UserPort: Service Start Pending.",
    "UserPort: Service Stop Pending.",
    "UserPort: Service Running.",
    "UserPort: Service Continue Pending.",
    "UserPort: Service Pause Pending.",
    "UserPort: Service Paused.",
    "UserPort: User not authorized to access Services database.",
    "UserPort: Unable to access the Services database!",
    "UserPort: User not authorized to open Service.",
    "UserPort: Service does not exist!",
    "UserPort: Unable to open the Service.",
    "UserPort: Unable to query the Service.",
};

const char* const VALUE_ENDINGS[] = {" (AOK),", " (ERR),",          " ( ? ),",         " (AOK).",
                                     " ( ? ).", "Not Found (ERR),", "Not Found (AOK),"};

struct RegistryBlock {
  const char* key;
  int name_width;
  std::vector<const char*> values;  // none: the VDD block's single line
};

bool starts(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool ends(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string right_aligned(const char* name, int width) {
  std::string text = name;
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

// The text after the status of a status line; "" for any other line.
std::string after_status(const std::string& line);

bool all_digits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// Walks the lines in order; each expectation consumes lines or records the
// first fault.
class Walker {
 public:
  explicit Walker(const std::vector<std::string>& lines) : lines_(lines) {}

  bool ok() const { return fault_.empty(); }
  const std::string& fault() const { return fault_; }
  bool more() const { return at_ < lines_.size(); }
  const std::string& peek() const { return lines_[at_]; }

  const std::string* next(const char* what) {
    if (!ok()) return nullptr;
    if (at_ >= lines_.size()) {
      fail(std::string("report ends where ") + what + " should be");
      return nullptr;
    }
    return &lines_[at_++];
  }
  void blank(const char* before) {
    const std::string* line = next("a blank line");
    if (line && *line != " ") fail(std::string("no blank line before ") + before, -1);
  }
  void expect(bool condition, const std::string& what) {
    if (ok() && !condition) fail(what, -1);
  }
  void fail(const std::string& what, int offset = 0) {
    if (!ok()) return;
    char where[32];
    std::snprintf(where, sizeof where, "line %d: ", static_cast<int>(at_) + 1 + offset);
    fault_ = where + what;
  }

 private:
  const std::vector<std::string>& lines_;
  std::size_t at_ = 0;
  std::string fault_;
};

void check_header(Walker& w) {
  w.blank("the title");
  const std::string* title = w.next("the title line");
  if (title)
    w.expect(starts(*title, "Show Korvane Device Drivers Status (") && ends(*title, " v5.01.015)"),
             "not the title line");
  w.blank("the date line");
  const std::string* date = w.next("the date line");
  if (date) w.expect(starts(*date, "System Date / Time: "), "not the date and time line");
  w.blank("the system lines");
  const std::string* version = w.next("the version line");
  if (version) w.expect(starts(*version, "Windows Version: "), "not the Windows version line");
  const std::string* os = w.next("the class line");
  if (os) w.expect(starts(*os, "Korvane iSysOs: 0x"), "not the class line");
  w.blank("the processor lines");
  const std::string* cpu = w.next("the processor lines");
  if (!cpu || *cpu == "CPU Registry Key Not Found.") return;
  const char* const labels[] = {
      "CPU Vendor: ", "CPU Identifier: ", "CPU ProcessorNameString: ", "CPU Speed: "};
  for (int i = 0; i < 4 && cpu; i++) {
    if (i > 0) cpu = w.next("a processor line");
    if (cpu) w.expect(starts(*cpu, labels[i]), std::string("not the line ") + labels[i]);
  }
  if (cpu && starts(*cpu, "CPU Speed: "))
    w.expect(*cpu == "CPU Speed: Unavailable" || ends(*cpu, " MHz"), "odd processor speed line");
}

// "(S) %12s Not Found." or "(S) %12s %7u  date  Shr-Cnt:%2s  Vers: version".
void check_driver_lines(Walker& w) {
  w.blank("the driver files");
  for (const char* name : SLOT_NAMES) {
    const std::string* line = w.next("a driver file line");
    if (!line) return;
    std::string head = right_aligned(name, 12);
    w.expect(starts_with_status(*line) && line->compare(6, head.size(), head) == 0,
             std::string("not the line of ") + name);
    if (!w.ok()) return;
    std::string rest = line->substr(6 + head.size());
    if (rest == " Not Found.") continue;
    std::size_t count = rest.find("  Shr-Cnt:");
    std::size_t version = rest.find("  Vers: ", count == std::string::npos ? 0 : count);
    w.expect(rest.size() >= 8 && rest[0] == ' ' && count != std::string::npos &&
                 version != std::string::npos,
             std::string("odd found line of ") + name);
    if (!w.ok()) return;
    std::size_t size_start = rest.find_first_not_of(' ');
    std::size_t size_end = rest.find(' ', size_start == std::string::npos ? 0 : size_start);
    w.expect(size_start != std::string::npos && size_end != std::string::npos &&
                 all_digits(rest.substr(size_start, size_end - size_start)) &&
                 rest.compare(size_end, 2, "  ") == 0,
             std::string("odd size in the line of ") + name);
    std::string shared = rest.substr(count + 10, version - count - 10);
    std::size_t shared_start = shared.find_first_not_of(' ');
    w.expect(shared == "n/a" || (shared_start != std::string::npos && shared.size() >= 2 &&
                                 all_digits(shared.substr(shared_start))),
             std::string("odd shared-use count in the line of ") + name);
  }
}

void check_registry_block(Walker& w, const RegistryBlock& block) {
  w.blank(block.key);
  const std::string* head = w.next("a registry head line");
  if (!head) return;
  std::string key = std::string("HKLM\\") + block.key + ": ";
  const std::string text = after_status(*head);
  w.expect(text == key + "Found," || text == key + "Not Found.",
           std::string("not the head line of ") + block.key);
  if (!w.ok() || ends(*head, "Not Found.")) return;
  if (block.values.empty()) {  // the VDD list: its label, or the entry found
    const std::string* line = w.next("the VDD line");
    if (line)
      w.expect(starts(*line, "      ") &&
                   (starts(*line, "      VDD: Not Found (ERR),") ||
                    *line == "      VDD: Downtvdd.dll Entry Not Found." || ends(*line, " (AOK).")),
               "odd VDD line");
    return;
  }
  for (const char* name : block.values) {
    const std::string* line = w.next("a registry value line");
    if (!line) return;
    w.expect(starts(*line, "      " + right_aligned(name, block.name_width) + ": "),
             std::string("not the value line of ") + name);
    bool ending = false;
    for (const char* e : VALUE_ENDINGS) ending = ending || ends(*line, e);
    w.expect(ending, std::string("odd ending of the value line of ") + name);
  }
}

void check_tmex_lines(Walker& w) {
  w.blank("the TMEX lines");
  const std::string* main = w.next("the TMEX main driver line");
  if (!main || *main == "(ERR) IBFS32.DLL (Main TMEX Driver) is not Present.") return;
  w.expect(*main == "(AOK) IBFS32.DLL (Main TMEX Driver) is Present", "not the TMEX main line");
  const std::string* line = w.next("a TMEX port line");
  if (!line) return;
  if (starts(*line, " (ERR) GetProcAddress failed with error: ")) {
    w.expect(all_digits(line->substr(41)), "odd GetProcAddress line");
    return;
  }
  const char* const ports[] = {"IB97E32.DLL (COM Port Driver)", "IB10E32.DLL (LPT Port Driver)",
                               "IB97U32.DLL (COM Port Driver)"};
  for (int i = 0; i < 3 && line; i++) {
    if (i > 0) line = w.next("a TMEX port line");
    if (!line) return;
    std::string port = ports[i];
    w.expect(
        *line == "(AOK) " + port + " is Present." || *line == "(ERR) " + port + " is not Present.",
        "not the TMEX line of " + port);
  }
}

void check_userport_line(Walker& w) {
  w.blank("the UserPort line");
  const std::string* line = w.next("the UserPort line");
  if (!line) return;
  bool known = false;
  for (const char* message : USERPORT_MESSAGES) known = known || after_status(*line) == message;
  w.expect(known, "not the UserPort line");
}

void check_summary(Walker& w) {
  w.blank("the summary lines");
  for (const char* text : SUMMARY_TEXTS) {
    const std::string* line = w.next("a summary line");
    if (!line) return;
    w.expect(after_status(*line) == text, std::string("not the summary line ") + text);
  }
  if (w.ok() && w.more()) w.fail("lines after the summary");
}

std::string after_status(const std::string& line) {
  return starts_with_status(line) ? line.substr(6) : std::string();
}

}  // namespace

bool starts_with_status(const std::string& line) {
  return starts(line, "(AOK) ") || starts(line, "(ERR) ") || starts(line, "( ? ) ") ||
         starts(line, "(n/r) ");
}

std::string report_outline_fault(const std::vector<std::string>& lines) {
  Walker w(lines);
  check_header(w);
  check_driver_lines(w);
  const RegistryBlock blocks[] = {
      {"System\\CurrentControlSet\\Services\\VxD\\Rockey9x",
       9,
       {"StaticVxD", "Support", "TestBusy"}},
      {"Software\\Dallas Semiconductor\\iButton TMEX\\3.00",
       10,
       {"MainDriver", "TYPE1", "TYPE2", "TYPE5"}},
      {"System\\CurrentControlSet\\Services\\DS1410D",
       12,
       {"ErrorControl", "Group", "Start", "Tag", "Type"}},
      {"System\\CurrentControlSet\\Control\\VirtualDeviceDrivers", 3, {}},
  };
  for (const RegistryBlock& block : blocks) check_registry_block(w, block);
  check_tmex_lines(w);
  check_userport_line(w);
  check_summary(w);
  return w.fault();
}
