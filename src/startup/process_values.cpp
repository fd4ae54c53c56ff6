// process_values.cpp: start-up's portable steps.

#include "startup/process_values.h"

#include "host/ansi_text.h"
#include "report/text.h"

// Separators, the first letter and the cut are found by characters: on a
// double-byte code page the second byte of a letter may equal a backslash
// or an ASCII letter, and is neither a separator nor a letter of its own.
ProgramNames derive_program_names(Host& host, const std::string& module_path) {
  std::string::size_type slash = ansi_last_backslash(host, module_path);
  std::string file = slash == std::string::npos ? module_path : module_path.substr(slash + 1);
  if (!file.empty()) {
    host.upper_case(&file);
    std::size_t second = ansi_next(host, file, 0);
    std::string rest = file.substr(second);
    host.lower_case(&rest);
    file.replace(second, std::string::npos, rest);
  }

  ProgramNames names;
  names.program_file_name = file;
  std::size_t length = ansi_length(host, file);
  if (length > 4) {
    names.program_name = file.substr(0, ansi_char_start(host, file, length - 4));
  } else {
    std::string::size_type dot = file.rfind('.');
    names.program_name = dot != std::string::npos && dot > 0 ? file.substr(0, dot) : file;
  }
  return names;
}

std::string compose_report_log_path(const std::string& temp_path, const std::string& program_name) {
  return temp_path + program_name + ".txt";
}

void capture_program_values(Host& host, ProcessValues* values) {
  init_locale_formats(host, &values->locale);
  ProgramNames names = derive_program_names(host, host.module_path());
  values->program_file_name = names.program_file_name;
  values->program_name = names.program_name;
  values->sys_os = classify_os(host);
}

void capture_directories(Host& host, ProcessValues* values) {
  values->windows_dir = host.windows_directory();
  values->report_log_path = compose_report_log_path(host.temp_path(), values->program_name);
}

std::string program_title(const ProcessValues& values) {
  return format_text(PROGRAM_TITLE_FORMAT, values.program_file_name.c_str(), PROGRAM_VERSION_TEXT);
}

std::string refusal_caption(const ProcessValues& values) {
  return values.program_file_name + " Error Information";
}
