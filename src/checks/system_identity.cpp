// system_identity.cpp: the operating-system and processor lines.

#include "checks/system_identity.h"

#include "checks/failure_texts.h"
#include "checks/registry_values.h"
#include "report/text.h"

const char WIN9X_VERSION_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char NT_VERSION_KEY[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char CPU_KEY[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

namespace {

// The fallback does not consult the version record: it is what the line
// has always said when the registry could not tell.
std::string version_fallback() { return std::string("Windows Version: ") + VERSION_FALLBACK_TEXT; }

// "<label><value>" from the NT version key, or "<label>Not Available".
std::string nt_version_part(Host& host, const char* label, const char* value_name) {
  RegistryKey key(host);
  std::string text;
  if (key.open(NT_VERSION_KEY, REG_ACCESS_QUERY_VALUE) && key.read_text(value_name, &text))
    return label + text;
  return std::string(label) + NOT_AVAILABLE_TEXT;
}

}  // namespace

std::string windows_version_text(Host& host, OsClass os) {
  const bool win9x = os_in(WIN9X_CLASSES, os);
  RegistryKey key(host);
  if (!key.open(win9x ? WIN9X_VERSION_KEY : NT_VERSION_KEY, REG_ACCESS_QUERY_VALUE))
    return version_fallback();
  std::string version;
  if (!key.read_text(win9x ? "VersionNumber" : "CurrentVersion", &version))
    return version_fallback();
  std::string text = "Windows Version: " + version;
  // The sub-version carries its own blanks, such as " A ".
  std::string sub_version;
  if (win9x && key.read_text("SubVersionNumber", &sub_version)) text += sub_version;
  return text;
}

std::string service_pack_text(Host& host) {
  return nt_version_part(host, "CSDVersion: ", "CSDVersion");
}

std::string build_number_text(Host& host) {
  return nt_version_part(host, "Build Number: ", "CurrentBuildNumber");
}

void report_os_identity(Host& host, OsClass os, ReportSink& sink) {
  std::string line = windows_version_text(host, os);
  if (os_in(NT_CLASSES, os)) {
    // One after the other: the service pack is read before the build.
    line += ", " + service_pack_text(host);
    line += ", " + build_number_text(host);
  }
  report_line(sink, line);
  report_line(sink, format_text("Korvane iSysOs: 0x%02X (%s)", static_cast<unsigned>(os),
                                os_class_name(os)));
}

void report_cpu_identity(Host& host, ReportSink& sink) {
  RegistryKey key(host);
  if (!key.open(CPU_KEY, REG_ACCESS_QUERY_VALUE)) {
    report_line(sink, CPU_KEY_MISSING_TEXT);
    return;
  }
  std::string text;
  report_line(
      sink, "CPU Vendor: " + (key.read_text("VendorIdentifier", &text) ? text : UNAVAILABLE_TEXT));
  report_line(sink,
              "CPU Identifier: " + (key.read_text("Identifier", &text) ? text : UNAVAILABLE_TEXT));
  if (key.read_text("ProcessorNameString", &text))
    strip_leading_spaces(&text);
  else
    text = UNAVAILABLE_TEXT;
  report_line(sink, "CPU ProcessorNameString: " + text);
  std::uint32_t mhz = 0;
  if (key.read_number("~MHz", &mhz))
    report_line(sink, format_text("CPU Speed: %d MHz", static_cast<int>(mhz)));
  else
    report_line(sink, std::string("CPU Speed: ") + UNAVAILABLE_TEXT);
}
