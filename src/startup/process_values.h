// process_values.h: what start-up captures once for the rest of the program.
//
// Start-up fills these values before the dialog exists; every later reader
// only reads them. They are passed along explicitly, so that tests and the
// simulator can run many machines in one process.
#pragma once

#include <string>

#include "host/host.h"
#include "startup/locale_text.h"
#include "startup/os_class.h"
#include "startup/program_version.h"

// The version text of the window title and the report's title line.
const char* const PROGRAM_VERSION_TEXT = PROGRAM_VERSION_STRING;

// The window title, the report's title line (less its leading blank) and the
// name of the single-instance mutex (with its placeholders left unfilled).
const char* const PROGRAM_TITLE_FORMAT = " Show Korvane Device Drivers Status (%s v%s)";

// Start-up's refusals: a message box with one of these texts, captioned by
// refusal_caption.
const char* const UNSUPPORTED_OS_TEXT = "Unsupported Operating System";
const char* const SECOND_COPY_TEXT = "Only one instance of this program allowed!";

struct ProcessValues {
  std::string program_file_name;    // Tool.exe: first letter upper case, the rest lower
  std::string program_name;         // Tool: names the report log
  std::string windows_dir;          // no trailing backslash unless a drive root
  std::string report_log_path;      // temporary directory, program name, ".txt"
  OsClass sys_os = OS_UNSUPPORTED;  // iSysOs
  LocaleFormats locale;
};

struct ProgramNames {
  std::string program_file_name;
  std::string program_name;
};

// The two names from the path of the running program. The file name is what
// follows the last backslash (the whole path when there is none), upper-cased
// and then lower-cased from its second character on; characters, not bytes,
// as the code page has them. The program name drops
// the last four characters ("Tool.exe" gives "Tool", "Driverview" gives
// "Driver"). A file name of four characters or fewer has nothing sound to cut
// by count: it loses its extension when it has one after a first character
// ("A.ex" gives "A"), and otherwise stays whole ("Dv" gives "Dv").
ProgramNames derive_program_names(Host& host, const std::string& module_path);

// The temporary directory path (ending in a backslash) directly followed by
// the program name and ".txt".
std::string compose_report_log_path(const std::string& temp_path, const std::string& program_name);

// Start-up's first steps: the locale formats, the two names and the class.
// The caller refuses to go on when sys_os is OS_UNSUPPORTED.
void capture_program_values(Host& host, ProcessValues* values);

// Start-up's later steps, after the single-instance guard: the Windows
// directory and the report log's path.
void capture_directories(Host& host, ProcessValues* values);

// The title line format filled with the program's file name and version.
std::string program_title(const ProcessValues& values);

// The caption of start-up's refusals: the program's file name and
// " Error Information".
std::string refusal_caption(const ProcessValues& values);
