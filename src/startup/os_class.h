// os_class.h: the class of the running Windows version.
//
// Start-up reduces the platform's version record to one small code, iSysOs,
// exactly once; every version-dependent rule afterwards is a membership test
// of that code in one of the sets below. Codes are compared for equality
// only: 17 and 129 are codes of their own, not 16 or 128 with a flag.
#pragma once

#include <cstdint>

#include "host/host.h"

typedef int OsClass;

const OsClass OS_UNSUPPORTED = 0;
const OsClass OS_OTHER_PLATFORM = 2;
const OsClass OS_WIN95A = 4;
const OsClass OS_WIN95B = 8;
const OsClass OS_WIN98 = 16;
const OsClass OS_WINME = 17;
const OsClass OS_NT351 = 32;
const OsClass OS_NT4 = 64;
const OsClass OS_WIN2000 = 128;
const OsClass OS_WINXP = 129;

// The platform identifiers of the version record.
const std::uint32_t OS_PLATFORM_WIN32_WINDOWS = 1;
const std::uint32_t OS_PLATFORM_WIN32_NT = 2;

// A constant set of classes.
struct OsClassSet {
  OsClass members[4];
  int count;
};

const OsClassSet WIN9X_CLASSES = {{OS_WIN95A, OS_WIN95B, OS_WIN98, OS_WINME}, 4};
const OsClassSet NT_CLASSES = {{OS_NT4, OS_WIN2000, OS_WINXP, 0}, 3};  // NT 3.51 is not in it
const OsClassSet USB_CLASSES = {{OS_WIN98, OS_WINME, OS_WIN2000, OS_WINXP}, 4};
const OsClassSet W2K_CLASSES = {{OS_WIN2000, OS_WINXP, 0, 0}, 2};

bool os_in(const OsClassSet& set, OsClass os);

// The classification rule as a pure function of the version record.
OsClass classify_os_version(const OsVersionRecord& version);

// Reads the version record from the host and classifies it; a record that
// cannot be read gives OS_UNSUPPORTED.
OsClass classify_os(Host& host);

// The display name of a class: "Unknown" for every code without a name of
// its own (0, 2 and any other number). The longest is 18 characters.
const char* os_class_name(OsClass os);
