// Whole reports, compared as a whole against texts derived by hand.

#include "checks/status_run.h"

#include <gtest/gtest.h>

#include "test_machines.h"

namespace {

TEST(StatusRun, WindowsXpCompleteReport) {
  RunResult r = run_on(complete_machine(OS_WINXP));
  EXPECT_EQ(joined(r.lines),
            " \n"
            "Show Korvane Device Drivers Status (Dorvik.exe v5.01.015)\n"
            " \n"
            "System Date / Time: 10/05/2026 / 09:07:03pm\n"
            " \n"
            "Windows Version: 5.1, CSDVersion: Service Pack 1, Build Number: 2600\n"
            "Korvane iSysOs: 0x81 (Windows XP)\n"
            " \n"
            "CPU Vendor: GenuineIntel\n"
            "CPU Identifier: x86 Family 6 Model 8 Stepping 3\n"
            "CPU ProcessorNameString: Intel(R) Pentium(R) III processor\n"
            "CPU Speed: 866 MHz\n"
            " \n"
            "(n/r) Downtvdd.dll Not Found.\n"
            "(AOK)  Ds1410d.sys    6592  06-18-2001  Shr-Cnt: 1  Vers: 1.0\n"
            "(AOK)  Ib10e32.dll   86016  07-02-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(AOK)  Ib97e32.dll   90112  06-18-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(AOK)  Ib97u32.dll   94208  06-18-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(AOK)   Ibfs32.dll  131072  10-03-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(n/r) Rockey9x.vxd Not Found.\n"
            "(AOK) Rockeynt.sys   18223  12-10-2001  Shr-Cnt: 1  Vers: n/a\n"
            "(AOK)  Rockusb.inf    2098  12-10-2001  Shr-Cnt: 1  Vers: n/a\n"
            "(AOK)  Rockusb.sys   27732  12-10-2001  Shr-Cnt: 1  Vers: n/a\n"
            "(AOK)  Rockvdd.dll   10752  12-10-2001  Shr-Cnt: 1  Vers: n/a\n"
            "(AOK) Userport.exe   11776  05-29-2001  Shr-Cnt: 1  Vers: n/a\n"
            "(AOK) Userport.sys    4256  11-28-2000  Shr-Cnt: 1  Vers: n/a\n"
            "(n/r)  Vsauthd.vxd Not Found.\n"
            " \n"
            "(n/r) HKLM\\System\\CurrentControlSet\\Services\\VxD\\Rockey9x: Not Found.\n"
            " \n"
            "(AOK) HKLM\\Software\\Dallas Semiconductor\\iButton TMEX\\3.00: Found,\n"
            "      MainDriver: IBFS32.DLL (AOK),\n"
            "           TYPE1: IB97E32.DLL (AOK),\n"
            "           TYPE2: IB10E32.DLL (AOK),\n"
            "           TYPE5: IB97U32.DLL (AOK),\n"
            " \n"
            "(AOK) HKLM\\System\\CurrentControlSet\\Services\\DS1410D: Found,\n"
            "      ErrorControl: 0x00000001 (AOK),\n"
            "             Group: Extended Base (AOK),\n"
            "             Start: 0x00000002 (AOK),\n"
            "               Tag: 0x00000002 (AOK),\n"
            "              Type: 0x00000001 (AOK),\n"
            " \n"
            "(n/r) HKLM\\System\\CurrentControlSet\\Control\\VirtualDeviceDrivers: Not Found.\n"
            " \n"
            "(AOK) IBFS32.DLL (Main TMEX Driver) is Present\n"
            "(AOK) IB97E32.DLL (COM Port Driver) is Present.\n"
            "(AOK) IB10E32.DLL (LPT Port Driver) is Present.\n"
            "(AOK) IB97U32.DLL (COM Port Driver) is Present.\n"
            " \n"
            "(AOK) UserPort: Service Running.\n"
            " \n"
            "(AOK) 32-Bit Rockey USB Driver Status.\n"
            "(AOK) 32-Bit Rockey Parallel Driver Status.\n"
            "(n/r) 32-Bit Rockey Parallel Registry Status.\n"
            "(AOK) 32-Bit iButton Parallel Driver Status.\n"
            "(AOK) 32-Bit iButton Parallel Registry Status.\n"
            "(AOK) 32-Bit iButton Serial Driver Status.\n"
            "(AOK) 32-Bit iButton Serial Registry Status.\n"
            "(AOK) 16-Bit Rockey USB Driver Status.\n"
            "(AOK) 16-Bit Rockey Parallel Driver Status.\n"
            "(n/r) 16-Bit Rockey Parallel Registry Status.\n"
            "(AOK) 16-Bit iButton Parallel Driver Status.\n"
            "(n/r) 16-Bit iButton Parallel Registry Status.\n"
            "(AOK) 16-Bit iButton Parallel UserPort Status.\n");
  EXPECT_EQ(r.open_handles, 0);
  EXPECT_EQ(r.bad_closes, 0);
}

TEST(StatusRun, Windows98CompleteReport) {
  SimMachine m = complete_machine(OS_WIN98);
  m.locale = {{LOCALE_ID_SDATE, "."}, {LOCALE_ID_IDATE, "1"}, {LOCALE_ID_ITIME, "1"}};
  RunResult r = run_on(m);
  EXPECT_EQ(joined(r.lines),
            " \n"
            "Show Korvane Device Drivers Status (Dorvik.exe v5.01.015)\n"
            " \n"
            "System Date / Time: 05.10.2026 / 21:07:03\n"
            " \n"
            "Windows Version: 4.10.2222 A \n"
            "Korvane iSysOs: 0x10 (Windows 98)\n"
            " \n"
            "CPU Vendor: GenuineIntel\n"
            "CPU Identifier: x86 Family 6 Model 8 Stepping 3\n"
            "CPU ProcessorNameString: Intel(R) Pentium(R) III processor\n"
            "CPU Speed: 866 MHz\n"
            " \n"
            "(n/r) Downtvdd.dll Not Found.\n"
            "(n/r)  Ds1410d.sys Not Found.\n"
            "(AOK)  Ib10e32.dll   86016  07-02-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(AOK)  Ib97e32.dll   90112  06-18-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(AOK)  Ib97u32.dll   94208  06-18-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(AOK)   Ibfs32.dll  131072  10-03-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(AOK) Rockey9x.vxd   28252  12-10-2001  Shr-Cnt: 1  Vers: n/a\n"
            "(n/r) Rockeynt.sys Not Found.\n"
            "(AOK)  Rockusb.inf    2098  12-10-2001  Shr-Cnt: 1  Vers: n/a\n"
            "(AOK)  Rockusb.sys   27732  12-10-2001  Shr-Cnt: 1  Vers: n/a\n"
            "(n/r)  Rockvdd.dll Not Found.\n"
            "(n/r) Userport.exe Not Found.\n"
            "(n/r) Userport.sys Not Found.\n"
            "(AOK)  Vsauthd.vxd   11354  04-30-2002  Shr-Cnt: 1  Vers: n/a\n"
            " \n"
            "(AOK) HKLM\\System\\CurrentControlSet\\Services\\VxD\\Rockey9x: Found,\n"
            "      StaticVxD: Rockey9x.vxd (AOK),\n"
            "        Support: Not Found (AOK),\n"
            "       TestBusy: 0x00000001 (AOK).\n"
            " \n"
            "(AOK) HKLM\\Software\\Dallas Semiconductor\\iButton TMEX\\3.00: Found,\n"
            "      MainDriver: IBFS32.DLL (AOK),\n"
            "           TYPE1: IB97E32.DLL (AOK),\n"
            "           TYPE2: IB10E32.DLL (AOK),\n"
            "           TYPE5: IB97U32.DLL (AOK),\n"
            " \n"
            "(n/r) HKLM\\System\\CurrentControlSet\\Services\\DS1410D: Not Found.\n"
            " \n"
            "(n/r) HKLM\\System\\CurrentControlSet\\Control\\VirtualDeviceDrivers: Not Found.\n"
            " \n"
            "(AOK) IBFS32.DLL (Main TMEX Driver) is Present\n"
            "(AOK) IB97E32.DLL (COM Port Driver) is Present.\n"
            "(AOK) IB10E32.DLL (LPT Port Driver) is Present.\n"
            "(AOK) IB97U32.DLL (COM Port Driver) is Present.\n"
            " \n"
            "(n/r) UserPort: Not Required.\n"
            " \n"
            "(AOK) 32-Bit Rockey USB Driver Status.\n"
            "(AOK) 32-Bit Rockey Parallel Driver Status.\n"
            "(AOK) 32-Bit Rockey Parallel Registry Status.\n"
            "(AOK) 32-Bit iButton Parallel Driver Status.\n"
            "(AOK) 32-Bit iButton Parallel Registry Status.\n"
            "(AOK) 32-Bit iButton Serial Driver Status.\n"
            "(AOK) 32-Bit iButton Serial Registry Status.\n"
            "(AOK) 16-Bit Rockey USB Driver Status.\n"
            "(AOK) 16-Bit Rockey Parallel Driver Status.\n"
            "(AOK) 16-Bit Rockey Parallel Registry Status.\n"
            "(n/r) 16-Bit iButton Parallel Driver Status.\n"
            "(n/r) 16-Bit iButton Parallel Registry Status.\n"
            "(n/r) 16-Bit iButton Parallel UserPort Status.\n");
  EXPECT_EQ(r.open_handles, 0);
}

// Windows NT 4 with the Rockey VxD entry absent (as it is on NT), the
// iButton DS1410D and VDD entries as installed, and nothing else.
TEST(StatusRun, WindowsNt4ReportWithoutTmex) {
  SimMachine m = complete_machine(OS_NT4);
  m.tmex.present = false;
  m.registry.erase(sim_fold("Software\\Dallas Semiconductor\\iButton TMEX\\3.00"));
  m.files.erase(sim_fold("C:\\WINNT\\SYSTEM32\\Ibfs32.dll"));
  RunResult r = run_on(m);
  std::string text = joined(r.lines);
  std::string from_files = text.substr(text.find("(AOK) Downtvdd.dll"));
  EXPECT_EQ(from_files,
            "(AOK) Downtvdd.dll   11776  07-10-1998  Shr-Cnt: 1  Vers: n/a\n"
            "(AOK)  Ds1410d.sys    6592  06-18-2001  Shr-Cnt: 1  Vers: 1.0\n"
            "(AOK)  Ib10e32.dll   86016  07-02-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(AOK)  Ib97e32.dll   90112  06-18-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(AOK)  Ib97u32.dll   94208  06-18-2001  Shr-Cnt: 1  Vers: 3.00\n"
            "(ERR)   Ibfs32.dll Not Found.\n"
            "(n/r) Rockey9x.vxd Not Found.\n"
            "(AOK) Rockeynt.sys   18223  12-10-2001  Shr-Cnt: 1  Vers: n/a\n"
            "(n/r)  Rockusb.inf Not Found.\n"
            "(n/r)  Rockusb.sys Not Found.\n"
            "(AOK)  Rockvdd.dll   10752  12-10-2001  Shr-Cnt: 1  Vers: n/a\n"
            "(n/r) Userport.exe Not Found.\n"
            "(n/r) Userport.sys Not Found.\n"
            "(n/r)  Vsauthd.vxd Not Found.\n"
            " \n"
            "(n/r) HKLM\\System\\CurrentControlSet\\Services\\VxD\\Rockey9x: Not Found.\n"
            " \n"
            "(ERR) HKLM\\Software\\Dallas Semiconductor\\iButton TMEX\\3.00: Not Found.\n"
            " \n"
            "(AOK) HKLM\\System\\CurrentControlSet\\Services\\DS1410D: Found,\n"
            "      ErrorControl: 0x00000001 (AOK),\n"
            "             Group: Extended Base (AOK),\n"
            "             Start: 0x00000002 (AOK),\n"
            "               Tag: 0x00000002 (AOK),\n"
            "              Type: 0x00000001 (AOK),\n"
            " \n"
            "(AOK) HKLM\\System\\CurrentControlSet\\Control\\VirtualDeviceDrivers: Found,\n"
            "      C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL (AOK).\n"
            " \n"
            "(ERR) IBFS32.DLL (Main TMEX Driver) is not Present.\n"
            " \n"
            "(n/r) UserPort: Not Required.\n"
            " \n"
            "(n/r) 32-Bit Rockey USB Driver Status.\n"
            "(AOK) 32-Bit Rockey Parallel Driver Status.\n"
            "(n/r) 32-Bit Rockey Parallel Registry Status.\n"
            "(ERR) 32-Bit iButton Parallel Driver Status.\n"
            "(ERR) 32-Bit iButton Parallel Registry Status.\n"
            "(ERR) 32-Bit iButton Serial Driver Status.\n"
            "(ERR) 32-Bit iButton Serial Registry Status.\n"
            "(n/r) 16-Bit Rockey USB Driver Status.\n"
            "(AOK) 16-Bit Rockey Parallel Driver Status.\n"
            "(n/r) 16-Bit Rockey Parallel Registry Status.\n"
            "(AOK) 16-Bit iButton Parallel Driver Status.\n"
            "(AOK) 16-Bit iButton Parallel Registry Status.\n"
            "(n/r) 16-Bit iButton Parallel UserPort Status.\n");
  EXPECT_EQ(text.substr(0, text.find("CPU")),
            " \nShow Korvane Device Drivers Status (Dorvik.exe v5.01.015)\n \n"
            "System Date / Time: 10/05/2026 / 09:07:03pm\n \n"
            "Windows Version: 4.0, CSDVersion: Not Available, Build Number: 1381\n"
            "Korvane iSysOs: 0x40 (Windows NT 4)\n \n");
  EXPECT_EQ(r.open_handles, 0);
}

TEST(StatusRun, EmptyWindows98ShowsItsErrorsInTheIcons) {
  RunResult r = run_on(bare_machine(OS_WIN98));
  const DriverStatus E = STATUS_ERR, N = STATUS_NR;
  const std::vector<std::pair<int, DriverStatus>> expected = {
      {3053, E}, {3054, E}, {3055, E}, {3056, E}, {3057, E}, {3058, E}, {3059, E},
      {3061, E}, {3062, E}, {3063, E}, {3064, N}, {3065, N}, {3066, N}};
  EXPECT_EQ(r.icons, expected);
}

TEST(StatusRun, EveryRunWritesTheWholeOutlineOnItsOwn) {
  SimMachine m = complete_machine(OS_WINXP);
  SimHost host(m);
  ProcessValues values = values_for(host);
  RunContext ctx = {host, values};
  LineCapture out;
  IconRecorder icons;
  DriverFileTable table;
  run_status(ctx, &table, out.sink, icons);
  std::vector<std::string> first = out.list.lines;
  run_status(ctx, &table, out.sink, icons);
  EXPECT_EQ(out.list.lines, first);  // replaced, not appended
  EXPECT_EQ(out.list.lines.size(), 65u);
  EXPECT_EQ(out.list.lines.back(), "(AOK) 16-Bit iButton Parallel UserPort Status.");
  EXPECT_EQ(out.list.top_index, 64);
}

}  // namespace
