// explain.cpp: the explanation's words, as text and as HTML.

#include "explain.h"

#include <algorithm>

#include "causes.h"
#include "host/sim/code_page.h"
#include "line_forms.h"
#include "report/text.h"
#include "startup/os_class.h"

namespace {

const char* const MONTHS[] = {"January",   "February", "March",    "April",
                              "May",       "June",     "July",     "August",
                              "September", "October",  "November", "December"};

std::string verdict_text(const LogReading& r) {
  switch (r.verdict) {
    case LOG_EXACT:
      return std::string("a whole Dorvik report; every line is the program's own (read as ") +
             r.encoding + ", " + r.line_ends + " line ends)";
    default: return r.message;
  }
}

// The machine in one paragraph, from the lines read.
std::string machine_paragraph(const LogReading& r) {
  const ReadFacts& f = r.facts;
  std::string text = "Program: " + f.program_file_name + " version " +
                     (f.other_version.empty() ? line_forms().version_text : f.other_version) + ".";
  if (f.os != OS_UNSUPPORTED)
    text += format_text(" Windows class 0x%02X (%s); ", static_cast<unsigned>(f.os),
                        os_class_name(f.os)) +
            r.lines.at(5) + ".";
  if (r.lines_read > 11 && f.cpu_key) {
    text += " Processor:";
    for (int i = 8; i < 12; i++)
      text += (i > 8 ? ", " : " ") +
              r.lines[i].substr(std::min(r.lines[i].size(), r.lines[i].find(": ") + 2));
    text += ".";
  }
  if (f.date_time_read) {
    const DateTimeReading& d = f.date_time;
    const char* orders[] = {"month, day, year", "day, month, year", "year, month, day"};
    text += " Run on " + r.lines.at(3).substr(20);
    if (d.clock.month >= 1 && d.clock.month <= 12 && d.time_shown)
      text += format_text(", that is %u %s %u at %02u:%02u:%02u", d.clock.day,
                          MONTHS[d.clock.month - 1], d.clock.year, d.clock.hour, d.clock.minute,
                          d.clock.second);
    text +=
        format_text(" (dates written %s with \"%c\"; a %s clock with \"%c\")",
                    orders[d.formats.date_order], d.formats.date_separator,
                    d.formats.clock == CLOCK_24H ? "24-hour" : "12-hour", d.formats.time_separator);
    text += ".";
  }
  return text;
}

struct Writer {
  // The code page the log was read in: the one its texts are shown from.
  int code_page = CODE_PAGE_DEFAULT;
  virtual ~Writer() {}
  virtual void heading(const std::string& text) = 0;
  virtual void paragraph(const std::string& text) = 0;
  virtual void group(const GroupFindings& g) = 0;
  virtual void note(const Note& n) = 0;
};

void write_explanation(Writer& w, const std::string& name, const LogReading& r,
                       const Explanation& e) {
  w.heading("Dorvik report " + name);
  w.paragraph(r.verdict == LOG_EXACT ? "This is " + verdict_text(r) + "."
                                     : "This is not a readable report: " + verdict_text(r) + ".");
  if (r.verdict == LOG_NOT_REPORT) return;
  w.heading("The machine");
  w.paragraph(machine_paragraph(r));
  if (r.verdict != LOG_EXACT) {
    w.paragraph(
        format_text("%d of its lines were read before the fault; no group can be judged "
                    "from a report that is not whole.",
                    r.lines_read));
    return;
  }
  w.heading("The thirteen groups");
  for (const GroupFindings& g : e.groups) w.group(g);
  w.heading("Notes");
  if (e.notes.empty()) w.paragraph("None.");
  for (const Note& n : e.notes) w.note(n);
  const char* results[] = {"every required group is AOK", "at least one group is ERR",
                           "no group is ERR, but at least one is unsure"};
  w.paragraph(format_text("Result %d: %s.", e.exit_code, results[e.exit_code]));
}

class TextWriter : public Writer {
 public:
  std::string out;
  void heading(const std::string& text) override {
    out += "\n" + shown_text(text, code_page) + "\n";
  }
  void paragraph(const std::string& text) override {
    out += "  " + shown_text(text, code_page) + "\n";
  }
  void group(const GroupFindings& g) override {
    out +=
        format_text("  (%s) %s\n", status_text(g.status), shown_text(g.title, code_page).c_str());
    for (const Finding& f : g.findings) {
      const Cause& c = cause_of(f.kind);
      out += format_text("        line %d: %s\n", f.line, shown_text(f.subject, code_page).c_str());
      out += "          the report shows: " + shown_text(f.shown, code_page) + "\n";
      out += "          accepted here:    " + shown_text(f.accepted, code_page) + "\n";
      out += std::string("          likely cause:     ") + c.cause + "\n";
      out += std::string("          remedy:           ") + c.remedy + "\n";
    }
  }
  void note(const Note& n) override {
    out += format_text("  line %d: %s\n", n.line, shown_text(n.text, code_page).c_str());
  }
};

// The thirteen icons as the dialog draws them: a check mark, an X, a
// question mark, and a grey disabled square for a group not required.
std::string icon_svg(DriverStatus status) {
  const char* head =
      "<svg class=\"icon\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\" role=\"img\" "
      "aria-label=\"";
  switch (status) {
    case STATUS_AOK:
      return std::string(head) +
             "AOK\"><circle cx=\"16\" cy=\"16\" r=\"15\" fill=\"#0a0\"/>"
             "<path d=\"M8 17 l6 6 l11 -13\" stroke=\"#fff\" stroke-width=\"4\" "
             "fill=\"none\"/></svg>";
    case STATUS_ERR:
      return std::string(head) +
             "ERR\"><circle cx=\"16\" cy=\"16\" r=\"15\" fill=\"#d00\"/>"
             "<path d=\"M10 10 L22 22 M22 10 L10 22\" stroke=\"#fff\" stroke-width=\"4\"/></svg>";
    case STATUS_NR:
      return std::string(head) +
             "n/r\"><rect x=\"2\" y=\"2\" width=\"28\" height=\"28\" "
             "fill=\"#ccc\" stroke=\"#999\"/></svg>";
    default:
      return std::string(head) +
             "?\"><circle cx=\"16\" cy=\"16\" r=\"15\" fill=\"#fc0\"/>"
             "<text x=\"16\" y=\"24\" font-size=\"22\" font-weight=\"bold\" text-anchor=\"middle\" "
             "fill=\"#000\">?</text></svg>";
  }
}

class HtmlWriter : public Writer {
 public:
  std::string out;
  void heading(const std::string& text) override {
    out += "<h2>" + html_text(text, code_page) + "</h2>\n";
  }
  void paragraph(const std::string& text) override {
    out += "<p>" + html_text(text, code_page) + "</p>\n";
  }
  void group(const GroupFindings& g) override {
    out += "<div class=\"group\">" + icon_svg(g.status) + " <b>(" +
           html_text(status_text(g.status), code_page) + ")</b> " + html_text(g.title, code_page);
    for (const Finding& f : g.findings) {
      const Cause& c = cause_of(f.kind);
      out += format_text("<dl><dt>line %d: ", f.line) + html_text(f.subject, code_page) + "</dt>" +
             "<dd>the report shows: <code>" + html_text(f.shown, code_page) + "</code></dd>" +
             "<dd>accepted here: " + html_text(f.accepted, code_page) + "</dd>" +
             "<dd>likely cause: " + html_text(c.cause, code_page) +
             "</dd><dd>remedy: " + html_text(c.remedy, code_page) + "</dd></dl>";
    }
    out += "</div>\n";
  }
  void note(const Note& n) override {
    out += format_text("<p class=\"note\">line %d: ", n.line) + html_text(n.text, code_page) +
           "</p>\n";
  }
};

}  // namespace

std::string shown_text(const std::string& ansi, int code_page) {
  std::string out;
  for (std::size_t at = 0; at < ansi.size();) {
    const std::size_t length = code_page_char_length(code_page, ansi, at);
    const std::string character = ansi.substr(at, length);
    const unsigned char b = static_cast<unsigned char>(ansi[at]);
    const std::string shown = code_page_to_utf8(code_page, character);
    // A byte the code page leaves undefined comes back as '?' from glibc's
    // tables and as a C1 control from Windows': as \xNN from both.
    const bool undefined =
        (shown == "?" && character != "?") ||
        (shown.size() == 2 && shown[0] == '\xC2' && static_cast<unsigned char>(shown[1]) < 0xA0);
    if ((b < 0x20 && b != '\n') || b == 0x7F || undefined) {
      // An undefined pair shows its first byte only: the second may be a
      // character of its own, such as a newline or an ASCII letter.
      out += format_text("\\x%02X", b);
      at++;
      continue;
    }
    out += shown;
    at += length;
  }
  return out;
}

std::string html_escaped(const std::string& shown) {
  std::string out;
  for (char c : shown) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string html_text(const std::string& ansi, int code_page) {
  std::string out;
  for (char c : html_escaped(shown_text(ansi, code_page)))
    out += c == '\n' ? std::string("<br>") : std::string(1, c);
  return out;
}

std::string explain_text(const std::string& name, const LogReading& reading,
                         const Explanation& explanation) {
  TextWriter w;
  w.code_page = reading.machine.code_page;
  write_explanation(w, name, reading, explanation);
  return w.out.substr(1);
}

std::string explain_html(const std::string& name, const LogReading& reading,
                         const Explanation& explanation) {
  HtmlWriter w;
  w.code_page = reading.machine.code_page;
  write_explanation(w, name, reading, explanation);
  return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
         "<title>" +
         html_text("Dorvik report " + name, w.code_page) +
         "</title>\n"
         "<style>body{font-family:sans-serif;max-width:60em;margin:1em auto}"
         ".group{margin:.3em 0}.icon{vertical-align:middle}dl{margin:.2em 0 .6em 3em}"
         "dd{margin-left:1em}code{white-space:pre-wrap}.note{margin-left:1em}</style>\n"
         "</head><body>\n" +
         w.out + "</body></html>\n";
}

int explain_exit_code(const LogReading& reading, const Explanation& explanation) {
  return reading.verdict == LOG_EXACT ? explanation.exit_code : 3;
}

std::string status_icon_svg(DriverStatus status) { return icon_svg(status); }
