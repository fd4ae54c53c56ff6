// fault_difference.cpp: the faulted report, line by line against the clean one.

#include "fault_difference.h"

#include "checks/evaluation.h"
#include "checks/failure_texts.h"
#include "report/text.h"

namespace {

const DriverStatus STATUSES[] = {STATUS_AOK, STATUS_ERR, STATUS_UNSURE, STATUS_NR};
const DriverStatus NO_STATUS = DriverStatus(0);

// The status that a line opens with, as "(AOK) ", or else NO_STATUS; with
// `anywhere`, the status a text names, as the "(ERR)" of "Not Found (ERR),".
DriverStatus status_of(const std::string& text, bool anywhere = false) {
  for (DriverStatus s : STATUSES) {
    std::size_t at = text.find(format_text(anywhere ? "(%s)" : "(%s) ", status_text(s)));
    if (anywhere ? at != std::string::npos : at == 0) return s;
  }
  return NO_STATUS;
}

// True when `changed` is `line` with `text` standing for a part of it.
bool replaced(const std::string& line, const std::string& changed, const std::string& text) {
  for (std::size_t at = changed.find(text); at != std::string::npos;
       at = changed.find(text, at + 1)) {
    std::size_t rest = changed.size() - at - text.size();
    if (at + rest <= line.size() && line.compare(0, at, changed, 0, at) == 0 &&
        line.compare(line.size() - rest, rest, changed, at + text.size(), rest) == 0)
      return true;
  }
  return false;
}

// What the UserPort check answers to a failed call: a lack of rights
// leaves the service unsure, a service that cannot be opened is an error.
struct Answer {
  const char* call;
  int fault;  // -1: any other
  DriverStatus status;
  const char* text;
};
const Answer USERPORT_ANSWERS[] = {
    {"open_service_manager", FAULT_ACCESS_DENIED, STATUS_UNSURE, USERPORT_DATABASE_DENIED_TEXT},
    {"open_service_manager", -1, STATUS_UNSURE, USERPORT_NO_DATABASE_TEXT},
    {"open_service", FAULT_ACCESS_DENIED, STATUS_UNSURE, USERPORT_SERVICE_DENIED_TEXT},
    {"open_service", FAULT_ABSENT, STATUS_ERR, USERPORT_NO_SERVICE_TEXT},
    {"open_service", -1, STATUS_ERR, USERPORT_NOT_OPENED_TEXT},
    {"query_service_state", -1, STATUS_UNSURE, USERPORT_NOT_QUERIED_TEXT},
};

// The whole line that a failed call of the TMEX or UserPort probe decides.
std::string answered_line(const HostCallRecord& call, HostFault fault) {
  if (call.call == "find_function")
    return format_text(TMEX_NO_FUNCTION_FORMAT, fault == FAULT_ABSENT ? HOSTERR_PROC_NOT_FOUND
                                                : fault == FAULT_ACCESS_DENIED
                                                    ? HOSTERR_ACCESS_DENIED
                                                    : FAULT_OTHER_ERROR_CODE);
  for (const Answer& a : USERPORT_ANSWERS)
    if (call.call == a.call && (a.fault < 0 || a.fault == fault))
      return format_text("(%s) %s", status_text(a.status), a.text);
  return "";
}

}  // namespace

std::string fault_difference(const std::vector<std::string>& clean,
                             const std::vector<std::string>& faulted, const HostCallRecord& call,
                             HostFault fault) {
  auto at = [](std::size_t i, const std::string& what) {
    return "line " + std::to_string(i + 1) + ": " + what;
  };
  if (clean.size() < GROUP_COUNT || faulted.size() < GROUP_COUNT) return "no summary";
  const std::size_t clean_body = clean.size() - GROUP_COUNT;
  const std::size_t body = faulted.size() - GROUP_COUNT;
  for (std::size_t i = 0; i < GROUP_COUNT; i++)
    if (status_of(faulted[body + i]) == NO_STATUS ||
        faulted[body + i].substr(6) != clean[clean_body + i].substr(6))
      return at(body + i, "not the summary line " + clean[clean_body + i]);

  // The lines that differ: [first, end) of the faulted body.
  std::size_t first = 0;
  while (first < body && first < clean_body && clean[first] == faulted[first]) first++;
  std::size_t end = body, clean_end = clean_body;
  while (end > first && clean_end > first && clean[clean_end - 1] == faulted[end - 1]) {
    end--;
    clean_end--;
  }
  if (end == first && clean_end == first) return "";
  // A section that ends early does so in one line, up to its blank line.
  if (clean_end != end && (end - first != 1 || clean[clean_end] != " "))
    return at(first, "lines gained or lost");

  const std::string answer = answered_line(call, fault);
  if (!answer.empty())
    return end - first == 1 && faulted[first] == answer ? "" : at(first, "not " + answer);

  DriverStatus value_status = NO_STATUS;  // what a failed registry value names
  std::size_t value_line = 0;
  std::vector<std::size_t> status_only;
  for (std::size_t k = first; k < end; k++) {
    const std::string& was = clean[k];
    const std::string& is = faulted[k];
    if (was == is) continue;
    const DriverStatus s_was = status_of(was), s_is = status_of(is);
    if ((s_was == NO_STATUS) != (s_is == NO_STATUS)) return at(k, "status gained or lost: " + is);
    if (s_was == STATUS_NR && s_is != STATUS_NR) return at(k, "(n/r) changed: " + is);
    const std::size_t skip = s_was == NO_STATUS ? 0 : 6;
    const std::string text_was = was.substr(skip), text_is = is.substr(skip);
    if (text_was == text_is) {
      status_only.push_back(k);
      continue;
    }
    const char* text = nullptr;
    for (const char* failure : VALUE_FAILURE_TEXTS)
      if (!text && replaced(text_was, text_is, failure)) text = failure;
    // A part may go without a text in its place (a date, a version, a
    // sub-version), but a label never stands alone.
    const bool bare_label = text_is.rfind(": ") == text_is.size() - 2;
    if (!text && replaced(text_was, text_is, "") && (s_was != NO_STATUS || !bare_label)) text = "";
    if (!text) return at(k, "not the clean line with a failure text: " + is);
    if (s_was == NO_STATUS) {
      if (status_of(text, true) != NO_STATUS) value_status = status_of(text, true), value_line = k;
    } else if (s_was != STATUS_NR) {
      const bool missing = text == NOT_FOUND_TEXT || text == TMEX_MISSING_TEXT;
      if (s_is != (missing ? STATUS_ERR : s_was)) return at(k, "wrong status: " + is);
    }
  }
  // The head of the block of a failed value: an error makes it one, a value
  // that may be missing never makes it worse.
  std::size_t head = std::string::npos;
  if (value_status != NO_STATUS) {
    head = value_line;
    while (head > 0 && status_of(faulted[head]) == NO_STATUS) head--;
    const DriverStatus s_was = status_of(clean[head]), s_is = status_of(faulted[head]);
    const bool right = s_was == STATUS_NR           ? s_is == STATUS_NR
                       : value_status == STATUS_ERR ? s_is == STATUS_ERR
                                                    : combine(s_is, s_was) == s_was;
    if (!right) return at(head, "the block's status does not follow its value: " + faulted[head]);
  }
  // Otherwise only a file whose time could not be converted changes status.
  for (std::size_t k : status_only)
    if (k != head && status_of(faulted[k]) != STATUS_UNSURE)
      return at(k, "wrong status: " + faulted[k]);
  return "";
}
