// test_machines.cpp: complete and bare machines of every class.

#include "test_machines.h"

namespace {

struct FileToInstall {
  int slot;
  const char* directory;  // below the Windows directory; "SYSTEM*" follows the class
  std::uint32_t size;
  int year, month, day;
};

OsVersionRecord version_of(OsClass os) {
  switch (os) {
    case OS_WIN95A: return {1, 4, 0, (4u << 24) | 950};
    case OS_WIN95B: return {1, 4, 0, (4u << 24) | 1111};
    case OS_WIN98: return {1, 4, 10, (4u << 24) | (10u << 16) | 2222};
    case OS_WINME: return {1, 4, 90, (4u << 24) | (90u << 16) | 3000};
    case OS_NT351: return {2, 3, 51, 1057};
    case OS_NT4: return {2, 4, 0, 1381};
    case OS_WIN2000: return {2, 5, 0, 2195};
    case OS_WINXP: return {2, 5, 1, 2600};
    default: return {3, 1, 0, 0};
  }
}

bool is_nt_family(OsClass os) { return os == OS_NT351 || os_in(NT_CLASSES, os); }

}  // namespace

SimMachine bare_machine(OsClass os) {
  SimMachine m;
  m.version = version_of(os);
  m.windows_dir = is_nt_family(os) && os != OS_WINXP ? "C:\\WINNT" : "C:\\WINDOWS";
  m.temp_path = m.windows_dir + "\\TEMP\\";
  m.module_path = "C:\\Tools\\DORVIK.EXE";
  m.clock = {2026, 10, 1, 5, 21, 7, 3, 0};

  if (os_in(WIN9X_CLASSES, os)) {
    const char* key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    const char* numbers[] = {"4.00.950", "4.00.1111", "4.10.2222", "4.90.3000"};
    int i = os == OS_WIN95A ? 0 : os == OS_WIN95B ? 1 : os == OS_WIN98 ? 2 : 3;
    sim_set_string(m, key, "VersionNumber", numbers[i]);
    if (os == OS_WIN98) sim_set_string(m, key, "SubVersionNumber", " A ");
  } else {
    const char* key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    OsVersionRecord v = m.version;
    sim_set_string(m, key, "CurrentVersion",
                   std::to_string(v.major_version) + "." + std::to_string(v.minor_version));
    sim_set_string(m, key, "CurrentBuildNumber", std::to_string(v.build_number));
    if (os == OS_WINXP) sim_set_string(m, key, "CSDVersion", "Service Pack 1");
  }

  const char* cpu = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
  sim_set_string(m, cpu, "VendorIdentifier", "GenuineIntel");
  sim_set_string(m, cpu, "Identifier", "x86 Family 6 Model 8 Stepping 3");
  sim_set_string(m, cpu, "ProcessorNameString", "      Intel(R) Pentium(R) III processor");
  sim_set_dword(m, cpu, "~MHz", 866);
  return m;
}

SimMachine complete_machine(OsClass os) {
  SimMachine m = bare_machine(os);
  const bool win9x = os_in(WIN9X_CLASSES, os);
  const bool nt = os_in(NT_CLASSES, os);
  const std::string system = m.windows_dir + (win9x ? "\\SYSTEM\\" : "\\SYSTEM32\\");
  const std::string drivers = m.windows_dir + "\\SYSTEM32\\DRIVERS\\";
  const std::string shared = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

  auto install = [&](const std::string& path, std::uint32_t size, int y, int mo, int d,
                     const char* version) {
    SimFile& f = sim_add_file(m, path, size, sim_file_time(y, mo, d, 12, 0, 0));
    if (version) {
      f.version.state = SIM_VERSION_PRESENT;
      f.version.translations = {0x04E40409};
      f.version.file_versions["040904E4"] = version;
    }
    sim_set_dword(m, shared, path, 1);
  };

  install(system + "Ib10e32.dll", 86016, 2001, 7, 2, "3.00");
  install(system + "Ib97e32.dll", 90112, 2001, 6, 18, "3.00");
  install(system + "Ib97u32.dll", 94208, 2001, 6, 18, "3.00");
  install(system + "Ibfs32.dll", 131072, 2001, 10, 3, "3.00");
  if (win9x) {
    install(system + "Rockey9x.vxd", 28252, 2001, 12, 10, nullptr);
    if (os == OS_WIN98 || os == OS_WINME)
      install(system + "Vsauthd.vxd", 11354, 2002, 4, 30, nullptr);
    else
      install(system + "Vsauthd.vxd", 11354, 2001, 6, 18, nullptr);
    sim_set_string(m, "System\\CurrentControlSet\\Services\\VxD\\Rockey9x", "StaticVxD",
                   "Rockey9x.vxd");
    sim_set_dword(m, "System\\CurrentControlSet\\Services\\VxD\\Rockey9x", "TestBusy", 1);
  }
  if (nt) {
    install(drivers + "Ds1410d.sys", 6592, 2001, 6, 18, "1.0");
    install(drivers + "Rockeynt.sys", 18223, 2001, 12, 10, nullptr);
    install(system + "Rockvdd.dll", 10752, 2001, 12, 10, nullptr);
    const char* ds = "System\\CurrentControlSet\\Services\\DS1410D";
    sim_set_dword(m, ds, "ErrorControl", 1);
    sim_set_string(m, ds, "Group", "Extended Base");
    sim_set_dword(m, ds, "Start", 2);
    sim_set_dword(m, ds, "Tag", 2);
    sim_set_dword(m, ds, "Type", 1);
  }
  if (os_in(USB_CLASSES, os)) {
    install(m.windows_dir + "\\INF\\Rockusb.inf", 2098, 2001, 12, 10, nullptr);
    install(drivers + "Rockusb.sys", 27732, 2001, 12, 10, nullptr);
  }
  if (os == OS_NT4) {
    install(system + "Downtvdd.dll", 11776, 1998, 7, 10, nullptr);
    std::string list = "C:\\WINNT\\system32\\vdmredir.dll";
    list += '\0';
    list += "C:\\WINNT\\SYSTEM32\\DOWNTVDD.DLL";
    list += '\0';
    list += '\0';
    sim_set_value(m, "System\\CurrentControlSet\\Control\\VirtualDeviceDrivers", "VDD",
                  SIM_REG_MULTI_SZ, std::vector<std::uint8_t>(list.begin(), list.end()));
  }
  if (os_in(W2K_CLASSES, os)) {
    install(m.windows_dir + "\\Userport.exe", 11776, 2001, 5, 29, nullptr);
    install(drivers + "Userport.sys", 4256, 2000, 11, 28, nullptr);
    SimService userport;
    userport.state = 4;
    sim_set_service(m, "UserPort", userport);
  }

  const char* tmex = "Software\\Dallas Semiconductor\\iButton TMEX\\3.00";
  sim_set_string(m, tmex, "MainDriver", "IBFS32.DLL");
  sim_set_string(m, tmex, "TYPE1", "IB97E32.DLL");
  sim_set_string(m, tmex, "TYPE2", "IB10E32.DLL");
  sim_set_string(m, tmex, "TYPE5", "IB97U32.DLL");
  m.tmex.present = true;
  m.tmex.answers = {{1, 1}, {2, 1}, {5, 1}};
  return m;
}

RunResult run_on(const SimMachine& machine) {
  SimHost host(machine);
  ProcessValues values;
  capture_program_values(host, &values);
  capture_directories(host, &values);
  RunContext ctx = {host, values};
  MemoryStatusList list;
  ReportSink sink = {&list, nullptr};
  IconRecorder icons;
  DriverFileTable table;
  RunResult result;
  result.groups = run_status(ctx, &table, sink, icons);
  result.lines = list.lines;
  result.icons = icons.shown;
  result.open_handles = host.open_handle_count();
  result.bad_closes = host.bad_close_count();
  return result;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

ProcessValues values_for(Host& host) {
  ProcessValues values;
  capture_program_values(host, &values);
  capture_directories(host, &values);
  return values;
}
