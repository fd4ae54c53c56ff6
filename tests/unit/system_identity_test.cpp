// The operating-system and processor lines.

#include "platform/system_identity.h"

#include <gtest/gtest.h>

#include "test_machines.h"

namespace {

const char NT_KEY[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char CPU_KEY[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

std::string os_lines(const SimMachine& m, OsClass os) {
  SimHost host(m);
  LineCapture out;
  report_os_identity(host, os, out.sink);
  EXPECT_EQ(host.open_handle_count(), 0);
  return out.text();
}

TEST(ReportOsIdentity, VersionTextsByClass) {
  SimMachine xp = bare_machine(OS_WINXP);
  EXPECT_EQ(os_lines(xp, OS_WINXP),
            "Windows Version: 5.1, CSDVersion: Service Pack 1, Build Number: 2600\n"
            "Korvane iSysOs: 0x81 (Windows XP)\n");
  SimMachine w98 = bare_machine(OS_WIN98);
  EXPECT_EQ(os_lines(w98, OS_WIN98),
            "Windows Version: 4.10.2222 A \nKorvane iSysOs: 0x10 (Windows 98)\n");
  EXPECT_EQ(os_lines(bare_machine(OS_WIN95A), OS_WIN95A),
            "Windows Version: 4.00.950\nKorvane iSysOs: 0x04 (Windows 95A)\n");
  EXPECT_EQ(os_lines(bare_machine(OS_WINME), OS_WINME),
            "Windows Version: 4.90.3000\nKorvane iSysOs: 0x11 (Windows Millennium)\n");
  EXPECT_EQ(os_lines(bare_machine(OS_NT351), OS_NT351),
            "Windows Version: 3.51\nKorvane iSysOs: 0x20 (Windows NT 3.51)\n");
  // Another platform tries the NT key; without it the line says 4.0.
  SimMachine other = bare_machine(OS_OTHER_PLATFORM);
  other.registry.erase(sim_fold(NT_KEY));
  EXPECT_EQ(os_lines(other, OS_OTHER_PLATFORM),
            "Windows Version: 4.0\nKorvane iSysOs: 0x02 (Unknown)\n");
}

TEST(ReportOsIdentity, MissingNtValuesReadNotAvailable) {
  SimMachine nt4 = bare_machine(OS_NT4);  // no service pack installed
  EXPECT_EQ(os_lines(nt4, OS_NT4),
            "Windows Version: 4.0, CSDVersion: Not Available, Build Number: 1381\n"
            "Korvane iSysOs: 0x40 (Windows NT 4)\n");
  nt4.registry.erase(sim_fold(NT_KEY));
  EXPECT_EQ(os_lines(nt4, OS_NT4),
            "Windows Version: 4.0, CSDVersion: Not Available, Build Number: Not Available\n"
            "Korvane iSysOs: 0x40 (Windows NT 4)\n");
  // A version read that fails falls back to 4.0 as well.
  SimMachine w2k = bare_machine(OS_WIN2000);
  w2k.registry[sim_fold(NT_KEY)].values.erase("currentversion");
  EXPECT_EQ(os_lines(w2k, OS_WIN2000).substr(0, 22), "Windows Version: 4.0, ");
}

TEST(ReportCpuIdentity, FourLinesWithPlaceholders) {
  SimMachine m = bare_machine(OS_WINXP);
  SimHost host(m);
  {
    LineCapture out;
    report_cpu_identity(host, out.sink);
    EXPECT_EQ(out.text(),
              "CPU Vendor: GenuineIntel\n"
              "CPU Identifier: x86 Family 6 Model 8 Stepping 3\n"
              "CPU ProcessorNameString: Intel(R) Pentium(R) III processor\n"
              "CPU Speed: 866 MHz\n");
  }
  SimRegistryKey& cpu = m.registry[sim_fold(CPU_KEY)];
  cpu.values.erase("processornamestring");
  cpu.values.erase("~mhz");
  {
    LineCapture out;
    report_cpu_identity(host, out.sink);
    EXPECT_EQ(out.text(),
              "CPU Vendor: GenuineIntel\n"
              "CPU Identifier: x86 Family 6 Model 8 Stepping 3\n"
              "CPU ProcessorNameString: Unavailable\n"
              "CPU Speed: Unavailable\n");
  }
  sim_set_string(m, CPU_KEY, "ProcessorNameString", "\t AMD  Athlon ");
  sim_set_dword(m, CPU_KEY, "~MHz", 0xFFFFFFFF);
  cpu.values.erase("vendoridentifier");
  {
    LineCapture out;
    report_cpu_identity(host, out.sink);
    EXPECT_EQ(out.text(),
              "CPU Vendor: Unavailable\n"
              "CPU Identifier: x86 Family 6 Model 8 Stepping 3\n"
              "CPU ProcessorNameString: \t AMD  Athlon \n"
              "CPU Speed: -1 MHz\n");
  }
  m.registry.erase(sim_fold(CPU_KEY));
  LineCapture out;
  report_cpu_identity(host, out.sink);
  EXPECT_EQ(out.text(), "CPU Registry Key Not Found.\n");
  EXPECT_EQ(host.open_handle_count(), 0);
}

}  // namespace
