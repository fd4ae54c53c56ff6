// os_class.cpp: classification of the running Windows version.

#include "startup/os_class.h"

OsClass classify_os_version(const OsVersionRecord& v) {
  if (v.platform_id == OS_PLATFORM_WIN32_WINDOWS) {
    // The minor version decides before the build; the major is not looked at.
    if (v.minor_version == 10) return OS_WIN98;
    if (v.minor_version == 90) return OS_WINME;
    // The 9x platform keeps major and minor in the build field's high half.
    std::uint32_t build = v.build_number & 0xFFFF;
    return build <= 1110 ? OS_WIN95A : OS_WIN95B;
  }
  if (v.platform_id == OS_PLATFORM_WIN32_NT) {
    if (v.major_version == 3) return OS_NT351;
    if (v.major_version == 4) return OS_NT4;
    if (v.major_version == 5 && v.minor_version == 0) return OS_WIN2000;
    if (v.major_version == 5 && v.minor_version == 1) return OS_WINXP;
    return OS_UNSUPPORTED;
  }
  return OS_OTHER_PLATFORM;
}

OsClass classify_os(Host& host) {
  OsVersionRecord version = {};
  if (!host.read_os_version(&version)) return OS_UNSUPPORTED;
  return classify_os_version(version);
}

const char* os_class_name(OsClass os) {
  switch (os) {
    case OS_WIN95A: return "Windows 95A";
    case OS_WIN95B: return "Windows 95B";
    case OS_WIN98: return "Windows 98";
    case OS_WINME: return "Windows Millennium";
    case OS_NT351: return "Windows NT 3.51";
    case OS_NT4: return "Windows NT 4";
    case OS_WIN2000: return "Windows 2000";
    case OS_WINXP: return "Windows XP";
    default: return "Unknown";
  }
}
