// diff.cpp: comparing the groups and findings of two reports.

#include "diff.h"

#include "causes.h"
#include "explain.h"
#include "report/text.h"

namespace {

bool same_finding(const Finding& a, const Finding& b) {
  return a.subject == b.subject && a.kind == b.kind;
}

bool has(const GroupFindings& g, const Finding& f) {
  for (const Finding& other : g.findings)
    if (same_finding(f, other)) return true;
  return false;
}

std::string finding_line(const Finding& f, int code_page) {
  return format_text("      line %d: %s: ", f.line, shown_text(f.subject, code_page).c_str()) +
         shown_text(f.shown, code_page) + "\n";
}

}  // namespace

std::string diff_text(const std::string& old_name, const LogReading& old_reading,
                      const Explanation& old_e, const std::string& new_name,
                      const LogReading& new_reading, const Explanation& new_e) {
  // Each report's texts are shown from the code page it was read in.
  const int old_page = old_reading.machine.code_page, new_page = new_reading.machine.code_page;
  std::string out = "Before: " + shown_text(old_name, old_page) +
                    "\nAfter:  " + shown_text(new_name, new_page) + "\n";
  if (old_reading.facts.os != new_reading.facts.os ||
      old_reading.facts.program_file_name != new_reading.facts.program_file_name)
    out +=
        "Warning: the two reports name another program or Windows class: are they of one "
        "machine?\n";
  std::string changed, fixed, came, stayed;
  for (int g = 0; g < GROUP_COUNT; g++) {
    const GroupFindings& before = old_e.groups[g];
    const GroupFindings& after = new_e.groups[g];
    if (before.status != after.status)
      changed += format_text("  (%s) -> (%s) %s\n", status_text(before.status),
                             status_text(after.status), shown_text(after.title, new_page).c_str());
    for (const Finding& f : before.findings)
      if (!has(after, f))
        fixed += "  " + shown_text(after.title, new_page) + "\n" + finding_line(f, old_page);
    for (const Finding& f : after.findings) {
      std::string entry =
          "  " + shown_text(after.title, new_page) + "\n" + finding_line(f, new_page);
      if (has(before, f))
        stayed += entry;
      else
        came += entry + "      likely cause: " + cause_of(f.kind).cause + "\n";
    }
  }
  out += "\nGroups that changed:\n" + (changed.empty() ? "  none\n" : changed);
  out += "\nFindings gone (put right):\n" + (fixed.empty() ? "  none\n" : fixed);
  out += "\nFindings new (made wrong):\n" + (came.empty() ? "  none\n" : came);
  out += "\nFindings that stayed wrong:\n" + (stayed.empty() ? "  none\n" : stayed);
  return out;
}
