// explain.h: a report explained for a person, as text or as one HTML page.
#pragma once

#include <string>

#include "findings.h"
#include "log_reader.h"

// The verdict and, as far as the report could be read, the machine; for a
// report that is the program's own, the groups with their findings and the
// notes. `name` names the log.
std::string explain_text(const std::string& name, const LogReading& reading,
                         const Explanation& explanation);

// The same as a self-contained page: no external file, no script.
std::string explain_html(const std::string& name, const LogReading& reading,
                         const Explanation& explanation);

// The exit code for a reading: the explanation's, or 3 when the report
// could not be read whole.
int explain_exit_code(const LogReading& reading, const Explanation& explanation);

// A text from a log, safe to show: the characters of the code page it was
// read in (LogReading::machine.code_page) as UTF-8; control characters and
// bytes the code page leaves undefined as \xNN.
std::string shown_text(const std::string& ansi, int code_page);
// Shown text (UTF-8) escaped for HTML text and attribute values.
std::string html_escaped(const std::string& shown);
// A log's text as shown_text gives it, escaped for HTML, its line breaks
// as <br>.
std::string html_text(const std::string& ansi, int code_page);

// A group's icon as the dialog draws it, as inline SVG.
std::string status_icon_svg(DriverStatus status);
