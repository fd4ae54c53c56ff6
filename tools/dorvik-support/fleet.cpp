// fleet.cpp: a site's rows and counts, as text, CSV and one HTML page.

#include "fleet.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "explain.h"
#include "host/sim/code_page.h"
#include "line_forms.h"
#include "report/text.h"
#include "startup/os_class.h"

namespace {

const char* const RESULT_NAMES[FLEET_RESULT_COUNT] = {"AOK", "ERR", "unsure", "not readable"};
// Sort keys: the worst first.
const char* const RESULT_KEYS[FLEET_RESULT_COUNT] = {"3", "1", "2", "0"};

// A finding in a few words, after its subject: what a site's count names.
const char* brief_cause(FindingKind kind) {
  switch (kind) {
    case FINDING_FILE_MISSING: return "missing";
    case FINDING_FILE_OTHER_RELEASE: return "from another release";
    case FINDING_FILE_DATE_CHANGED: return "with another date";
    case FINDING_KEY_MISSING: return "missing";
    case FINDING_VALUE_MISSING: return "missing or unreadable";
    case FINDING_VALUE_OTHER: return "set to another value";
    case FINDING_NUMBER_AS_TEXT: return "a number stored as text";
    case FINDING_VDD_ENTRY_MISSING: return "without the DOWNTVDD.DLL entry";
    case FINDING_SERVICE_MISSING: return "not installed";
    case FINDING_SERVICE_NOT_RUNNING: return "not running";
    case FINDING_SERVICE_DENIED: return "not readable by the user";
    case FINDING_SERVICE_UNKNOWN: return "in an unknown state";
    case FINDING_TMEX_NOT_ANSWERING: return "not answering";
    case FINDING_KIND_COUNT: break;
  }
  return "";
}

const char* verdict_name(LogVerdict verdict) {
  switch (verdict) {
    case LOG_EXACT: return "a whole report";
    case LOG_NOT_REPORT: return "not a Dorvik report";
    case LOG_UNKNOWN_VERSION: return "a report of another version";
    case LOG_CUT_OFF: return "a report cut off part way";
    case LOG_EDITED: return "a report whose lines contradict each other";
  }
  return "";
}

// Bytes of a file name, which may be any: UTF-8 as it is, control
// characters and bytes that are not UTF-8 as \xNN.
std::string shown_name(const std::string& bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    std::size_t n = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 1;
    bool valid = c >= 0x20 && c != 0x7F && (c < 0x80 || n > 1) && i + n <= bytes.size();
    for (std::size_t k = 1; valid && k < n; k++)
      valid = (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
    // C1 controls (U+0080 to U+009F) are no more printable than C0 ones.
    if (valid && c == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0) valid = false;
    if (!valid) {
      out += format_text("\\x%02X", c);
      i++;
      continue;
    }
    out.append(bytes, i, n);
    i += n;
  }
  return out;
}

std::string machine_name(const std::string& path) {
  std::size_t start = path.find_last_of("/\\");
  std::string name = path.substr(start == std::string::npos ? 0 : start + 1);
  std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string group_heading(int group, int code_page) {
  return shown_text(line_forms().summary[group], code_page);
}

std::string status_shown(DriverStatus status) {
  if (status == 0) return "";
  std::string text = status_text(status);
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

std::string causes_cell(const FleetRow& row) {
  std::string cell;
  for (const std::string& cause : row.causes) cell += (cell.empty() ? "" : "; ") + cause;
  if (!row.detail.empty()) cell += ": " + row.detail;
  return cell;
}

// The cells of a row, in the columns' order, as shown.
std::vector<std::string> row_cells(const FleetRow& row) {
  std::vector<std::string> cells = {row.name, row.os, RESULT_NAMES[row.result]};
  for (DriverStatus s : row.status) cells.push_back(status_shown(s));
  cells.push_back(causes_cell(row));
  cells.push_back(row.path);
  return cells;
}

std::vector<std::string> heading_cells() {
  std::vector<std::string> cells = {"Machine", "Windows", "Result"};
  // The headings serve logs of every code page; the group titles are ASCII.
  for (int g = 0; g < GROUP_COUNT; g++) cells.push_back(group_heading(g, CODE_PAGE_DEFAULT));
  cells.push_back("Causes");
  cells.push_back("Log file");
  return cells;
}

std::string csv_cell(const std::string& text) {
  std::string cell = text;
  // A spreadsheet takes a cell that begins with one of these for a formula;
  // a leading apostrophe keeps it a text.
  if (!cell.empty() && std::strchr("=+-@\t\r", cell[0])) cell.insert(0, "'");
  if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
  std::string quoted = "\"";
  for (char c : cell) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string csv_line(const std::vector<std::string>& cells) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); i++) line += (i ? "," : "") + csv_cell(cells[i]);
  return line + "\r\n";
}

// The dialog's icon as a CSS image: the explanation's own drawing.
std::string icon_url(DriverStatus status) {
  std::string svg = status_icon_svg(status);
  svg.insert(4, " xmlns=\"http://www.w3.org/2000/svg\"");
  std::string url = "url(\"data:image/svg+xml,";
  for (char c : svg) {
    if (std::isalnum(static_cast<unsigned char>(c)) || std::strchr(" =/.:-", c))
      url += c;
    else
      url += format_text("%%%02X", static_cast<unsigned char>(c));
  }
  return url + "\")";
}

std::string status_rank(DriverStatus status) {
  switch (status) {
    case STATUS_ERR: return "0";
    case STATUS_UNSURE: return "1";
    case STATUS_AOK: return "2";
    case STATUS_NR: return "3";
  }
  return "4";
}

// Sorts the machines' table by the column clicked, again for the other
// order; "#sort=N" or "#sort=-N" in the address sorts at load. The cells'
// data-k gives a key where the text would sort wrongly (the worst first).
const char SORT_SCRIPT[] =
    "<script>(function(){\n"
    "var t=document.getElementById('machines'),b=t.tBodies[0],h=t.tHead.rows[0].cells,by=-1,up=1;\n"
    "function key(c){return c.hasAttribute('data-k')?c.getAttribute('data-k'):c.textContent;}\n"
    "function sort(i,asc){var r=Array.prototype.slice.call(b.rows);\n"
    " r.sort(function(x,y){var d=key(x.cells[i]).localeCompare(key(y.cells[i]),undefined,"
    "{numeric:true});return asc?d:-d;});\n"
    " var f=document.createDocumentFragment();r.forEach(function(x){f.appendChild(x);});"
    "b.appendChild(f);by=i;up=asc;\n"
    " try{history.replaceState(null,'','#sort='+(asc?'':'-')+i);}catch(e){}}\n"
    "for(var i=0;i<h.length;i++)(function(i){h[i].className+=' sortable';"
    "h[i].onclick=function(){sort(i,by==i?!up:1);};})(i);\n"
    "var m=/^#sort=(-?)(\\d+)$/.exec(location.hash);if(m&&+m[2]<h.length)sort(+m[2],!m[1]);\n"
    "})();</script>\n";

// The causes, the most frequent first; those as frequent by name.
std::vector<std::pair<std::string, int>> by_frequency(const FleetCounts& counts) {
  std::vector<std::pair<std::string, int>> causes(counts.by_cause.begin(), counts.by_cause.end());
  std::stable_sort(causes.begin(), causes.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  return causes;
}

}  // namespace

FleetRow fleet_row(const std::string& path, const LogReading& reading,
                   const Explanation& explanation) {
  FleetRow row = {.name = shown_name(machine_name(path)),
                  .path = shown_name(path),
                  .os = reading.facts.os == OS_UNSUPPORTED ? "" : os_class_name(reading.facts.os),
                  .result = explain_exit_code(reading, explanation),
                  .status = {},
                  .causes = {},
                  .detail = {}};
  const int code_page = reading.machine.code_page;
  if (reading.verdict != LOG_EXACT) {
    row.causes.push_back(verdict_name(reading.verdict));
    row.detail = shown_text(reading.message, code_page);
    return row;
  }
  for (int g = 0; g < GROUP_COUNT; g++) {
    const GroupFindings& group = explanation.groups[g];
    row.status[g] = group.status;
    if (group.status != STATUS_ERR && group.status != STATUS_UNSURE) continue;
    std::string cause = group.findings.empty()
                            ? group_heading(g, code_page) + " " + status_shown(group.status) +
                                  " with no finding of its own"
                            : shown_text(group.findings[0].subject, code_page) + " " +
                                  brief_cause(group.findings[0].kind);
    if (std::find(row.causes.begin(), row.causes.end(), cause) == row.causes.end())
      row.causes.push_back(cause);
  }
  return row;
}

FleetRow unreadable_row(const std::string& path, const std::string& error) {
  return {.name = shown_name(machine_name(path)),
          .path = shown_name(path),
          .os = "",
          .result = 3,
          .status = {},
          .causes = {"a file that cannot be read"},
          .detail = shown_name(error)};
}

void count_row(const FleetRow& row, FleetCounts* counts) {
  counts->machines++;
  counts->by_result[row.result]++;
  for (const std::string& cause : row.causes) counts->by_cause[cause]++;
}

std::string fleet_counts_text(const FleetCounts& counts) {
  std::string text = format_text("%d machine%s:", counts.machines, counts.machines == 1 ? "" : "s");
  for (int r = 0; r < FLEET_RESULT_COUNT; r++)
    text += format_text("%s %d %s", r ? "," : "", counts.by_result[r], RESULT_NAMES[r]);
  text += ".\n";
  std::vector<std::pair<std::string, int>> causes = by_frequency(counts);
  if (!causes.empty()) text += "Causes, by the number of machines:\n";
  for (const auto& [cause, n] : causes)
    text += format_text("  %s: %d machine%s\n", cause.c_str(), n, n == 1 ? "" : "s");
  return text;
}

std::string fleet_csv_header() { return csv_line(heading_cells()); }

std::string fleet_csv_row(const FleetRow& row) { return csv_line(row_cells(row)); }

std::string fleet_html_head(const FleetCounts& counts) {
  std::string title = format_text("Dorvik reports of %d machines", counts.machines);
  std::string style =
      "body{font-family:sans-serif;margin:1em}table{border-collapse:collapse}"
      "td,th{border:1px solid #bbb;padding:2px 5px;text-align:left;vertical-align:middle}"
      "th.g{writing-mode:vertical-rl;transform:rotate(180deg);font-weight:normal;"
      "font-size:85%;white-space:nowrap}"
      "th.sortable{cursor:pointer}th.sortable:hover{background:#eef}"
      "td.s{color:transparent;background:no-repeat center/22px;min-width:24px;height:24px;"
      "font-size:1px}"
      "td.r0{color:#070}td.r1{color:#c00;font-weight:bold}td.r2{color:#a60}td.r3{color:#666}"
      "td.n{white-space:nowrap}td.c{font-size:90%;max-width:30em}td.f{font-size:80%;color:#555}";
  for (DriverStatus s : {STATUS_AOK, STATUS_ERR, STATUS_UNSURE, STATUS_NR})
    style += format_text("td.s%d{background-image:", s) + icon_url(s) + "}";
  std::string out = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n<title>" +
                    title + "</title>\n<style>" + style + "</style>\n</head><body>\n<h1>" + title +
                    "</h1>\n<p>";
  for (int r = 0; r < FLEET_RESULT_COUNT; r++)
    out += format_text("%s%s: %d", r ? ", " : "", RESULT_NAMES[r], counts.by_result[r]);
  out += "</p>\n<h2>Causes</h2>\n";
  out += "<table id=\"causes\"><thead><tr><th>Cause</th><th>Machines</th></tr></thead><tbody>\n";
  std::vector<std::pair<std::string, int>> causes = by_frequency(counts);
  for (const auto& [cause, n] : causes)
    out += "<tr><td>" + html_escaped(cause) + format_text("</td><td>%d</td></tr>\n", n);
  out +=
      "</tbody></table>\n<h2>Machines</h2>\n<p>Where the browser runs script, a click on a "
      "column's heading sorts by it.</p>\n<table id=\"machines\"><thead><tr>";
  std::vector<std::string> headings = heading_cells();
  for (std::size_t i = 0; i < headings.size(); i++) {
    bool group = i >= 3 && i < 3 + GROUP_COUNT;
    out += std::string(group ? "<th class=\"g\">" : "<th>") + html_escaped(headings[i]) + "</th>";
  }
  return out + "</tr></thead><tbody>\n";
}

std::string fleet_html_row(const FleetRow& row) {
  std::vector<std::string> cells = row_cells(row);
  std::string out =
      "<tr><td class=\"n\">" + html_escaped(cells[0]) + "</td><td class=\"n\">" +
      html_escaped(cells[1]) + "</td>" +
      format_text("<td class=\"n r%d\" data-k=\"%s\">", row.result, RESULT_KEYS[row.result]) +
      html_escaped(cells[2]) + "</td>";
  for (int g = 0; g < GROUP_COUNT; g++)
    out += format_text("<td class=\"s s%d\" data-k=\"%s\">", row.status[g],
                       status_rank(row.status[g]).c_str()) +
           html_escaped(cells[3 + g]) + "</td>";
  return out + "<td class=\"c\">" + html_escaped(cells[3 + GROUP_COUNT]) + "</td><td class=\"f\">" +
         html_escaped(cells[4 + GROUP_COUNT]) + "</td></tr>\n";
}

std::string fleet_html_tail() {
  return std::string("</tbody></table>\n") + SORT_SCRIPT + "</body></html>\n";
}
