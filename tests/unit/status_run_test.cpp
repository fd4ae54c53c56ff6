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

}  // namespace
