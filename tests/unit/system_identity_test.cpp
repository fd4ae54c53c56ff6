// The operating-system and processor lines, in the cases that the machine
// profiles do not show.

#include "checks/system_identity.h"

#include <gtest/gtest.h>

#include "test_machines.h"

namespace {

const char NT_KEY[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char CPU_KEY[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

TEST(ReportOsIdentity, ReadsTheKeysOfItsClassOnly) {
  SimMachine m;
  sim_set_string(m, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "VersionNumber", "4.10");
  sim_set_string(m, NT_KEY, "CurrentVersion", "5.0");
  sim_set_string(m, NT_KEY, "CSDVersion", "Service Pack 4");
  SimHost host(m);
  auto lines = [&host](OsClass os) {
    LineCapture out;
    report_os_identity(host, os, out.sink);
    return out.text();
  };
  // A missing NT value reads "Not Available", never the text read before it.
  EXPECT_EQ(lines(OS_WIN2000),
            "Windows Version: 5.0, CSDVersion: Service Pack 4, Build Number: Not Available\n"
            "Korvane iSysOs: 0x80 (Windows 2000)\n");
  // Another platform tries the NT key only; without it the line says 4.0.
  m.registry.erase(sim_fold(NT_KEY));
  EXPECT_EQ(lines(OS_OTHER_PLATFORM), "Windows Version: 4.0\nKorvane iSysOs: 0x02 (Unknown)\n");
  EXPECT_EQ(host.open_handle_count(), 0);
}

TEST(ReportCpuIdentity, OnlyBlanksAreStrippedAndTheSpeedIsSigned) {
  SimMachine m;
  sim_set_string(m, CPU_KEY, "Identifier", "x86 Family 6 Model 8 Stepping 3");
  sim_set_string(m, CPU_KEY, "ProcessorNameString", "\t AMD  Athlon ");
  sim_set_dword(m, CPU_KEY, "~MHz", 0xFFFFFFFF);
  SimHost host(m);
  LineCapture out;
  report_cpu_identity(host, out.sink);
  EXPECT_EQ(out.text(),
            "CPU Vendor: Unavailable\n"
            "CPU Identifier: x86 Family 6 Model 8 Stepping 3\n"
            "CPU ProcessorNameString: \t AMD  Athlon \n"
            "CPU Speed: -1 MHz\n");
  EXPECT_EQ(host.open_handle_count(), 0);
}

}  // namespace
