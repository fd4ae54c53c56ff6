// The operating-system and processor lines.

#include "checks/system_identity.h"

#include <gtest/gtest.h>

#include "test_machines.h"

namespace {

const char WIN9X_KEY[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char NT_KEY[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char CPU_KEY[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

std::string os_lines(const SimMachine& m, OsClass os) {
  SimHost host(m);
  LineCapture out;
  report_os_identity(host, os, out.sink);
  EXPECT_EQ(host.open_handle_count(), 0);
  return out.text();
}

// A machine whose version keys hold the given values ("" leaves one out).
SimMachine versions(const char* version_number, const char* sub_version,
                    const char* current_version, const char* csd, const char* build) {
  SimMachine m;
  if (*version_number) sim_set_string(m, WIN9X_KEY, "VersionNumber", version_number);
  if (*sub_version) sim_set_string(m, WIN9X_KEY, "SubVersionNumber", sub_version);
  if (*current_version) sim_set_string(m, NT_KEY, "CurrentVersion", current_version);
  if (*csd) sim_set_string(m, NT_KEY, "CSDVersion", csd);
  if (*build) sim_set_string(m, NT_KEY, "CurrentBuildNumber", build);
  return m;
}

TEST(ReportOsIdentity, VersionTextsByClass) {
  struct Case {
    SimMachine machine;
    OsClass os;
    const char* lines;
  } cases[] = {
      {versions("", "", "5.1", "Service Pack 1", "2600"), OS_WINXP,
       "Windows Version: 5.1, CSDVersion: Service Pack 1, Build Number: 2600\n"
       "Korvane iSysOs: 0x81 (Windows XP)\n"},
      // The sub-version keeps both of its blanks.
      {versions("4.10.2222", " A ", "", "", ""), OS_WIN98,
       "Windows Version: 4.10.2222 A \nKorvane iSysOs: 0x10 (Windows 98)\n"},
      {versions("4.00.950", "", "4.0", "", ""), OS_WIN95A,
       "Windows Version: 4.00.950\nKorvane iSysOs: 0x04 (Windows 95A)\n"},
      {versions("4.90.3000", "", "", "", ""), OS_WINME,
       "Windows Version: 4.90.3000\nKorvane iSysOs: 0x11 (Windows Millennium)\n"},
      // NT 3.51 reads the NT key, without the service pack and build.
      {versions("4.0", "", "3.51", "Service Pack 5", "1057"), OS_NT351,
       "Windows Version: 3.51\nKorvane iSysOs: 0x20 (Windows NT 3.51)\n"},
      // Another platform tries the NT key; without it the line says 4.0.
      {versions("4.10", "", "", "", ""), OS_OTHER_PLATFORM,
       "Windows Version: 4.0\nKorvane iSysOs: 0x02 (Unknown)\n"},
      // Missing NT values read "Not Available", never left-over text.
      {versions("", "", "4.0", "", "1381"), OS_NT4,
       "Windows Version: 4.0, CSDVersion: Not Available, Build Number: 1381\n"
       "Korvane iSysOs: 0x40 (Windows NT 4)\n"},
      {versions("", "", "", "", ""), OS_WIN2000,
       "Windows Version: 4.0, CSDVersion: Not Available, Build Number: Not Available\n"
       "Korvane iSysOs: 0x80 (Windows 2000)\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(os_lines(c.machine, c.os), c.lines);
}

TEST(ReportCpuIdentity, FourLinesWithPlaceholders) {
  SimMachine m;
  sim_set_string(m, CPU_KEY, "VendorIdentifier", "GenuineIntel");
  sim_set_string(m, CPU_KEY, "Identifier", "x86 Family 6 Model 8 Stepping 3");
  sim_set_string(m, CPU_KEY, "ProcessorNameString", "      Intel(R) Pentium(R) III processor");
  sim_set_dword(m, CPU_KEY, "~MHz", 866);
  SimHost host(m);
  auto cpu_lines = [&host]() {
    LineCapture out;
    report_cpu_identity(host, out.sink);
    return out.text();
  };
  EXPECT_EQ(cpu_lines(),
            "CPU Vendor: GenuineIntel\n"
            "CPU Identifier: x86 Family 6 Model 8 Stepping 3\n"
            "CPU ProcessorNameString: Intel(R) Pentium(R) III processor\n"
            "CPU Speed: 866 MHz\n");

  SimRegistryKey& cpu = m.registry[sim_fold(CPU_KEY)];
  cpu.values.erase("processornamestring");
  cpu.values.erase("~mhz");
  EXPECT_EQ(cpu_lines(),
            "CPU Vendor: GenuineIntel\n"
            "CPU Identifier: x86 Family 6 Model 8 Stepping 3\n"
            "CPU ProcessorNameString: Unavailable\n"
            "CPU Speed: Unavailable\n");

  // Only blanks are stripped; the speed is a signed number.
  sim_set_string(m, CPU_KEY, "ProcessorNameString", "\t AMD  Athlon ");
  sim_set_dword(m, CPU_KEY, "~MHz", 0xFFFFFFFF);
  cpu.values.erase("vendoridentifier");
  EXPECT_EQ(cpu_lines(),
            "CPU Vendor: Unavailable\n"
            "CPU Identifier: x86 Family 6 Model 8 Stepping 3\n"
            "CPU ProcessorNameString: \t AMD  Athlon \n"
            "CPU Speed: -1 MHz\n");

  m.registry.erase(sim_fold(CPU_KEY));
  EXPECT_EQ(cpu_lines(), "CPU Registry Key Not Found.\n");
  EXPECT_EQ(host.open_handle_count(), 0);
}

}  // namespace
