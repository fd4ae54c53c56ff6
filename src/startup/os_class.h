// os_class.h: the class of the running Windows version.
//
// Start-up reduces the platform's version record to one small code, iSysOs,
// exactly once; every version-dependent rule afterwards is a membership test
// of that code in one of the sets below. Codes are compared for equality
// only: 17 and 129 are codes of their own, not 16 or 128 with a flag.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "host/host.h"

enum OsClass : int {
  OS_UNSUPPORTED = 0,
  OS_OTHER_PLATFORM = 2,
  OS_WIN95A = 4,
  OS_WIN95B = 8,
  OS_WIN98 = 16,
  OS_WINME = 17,
  OS_NT351 = 32,
  OS_NT4 = 64,
  OS_WIN2000 = 128,
  OS_WINXP = 129,
};

// The platform identifiers of the version record.
const std::uint32_t OS_PLATFORM_WIN32_WINDOWS = 1;
const std::uint32_t OS_PLATFORM_WIN32_NT = 2;

// A constant set of classes: one bit per class code, every code below 256.
// Built at compile time, so a code that does not fit cannot be added.
struct OsClassSet {
  std::uint64_t words[4];
};

constexpr OsClassSet os_classes(std::initializer_list<OsClass> members) {
  OsClassSet set = {};
  for (OsClass os : members) set.words[os / 64] |= std::uint64_t{1} << (os % 64);
  return set;
}

// Every class that is not in `set`.
constexpr OsClassSet os_classes_except(OsClassSet set) {
  for (std::uint64_t& word : set.words) word = ~word;
  return set;
}

constexpr bool os_in(const OsClassSet& set, OsClass os) {
  return os >= 0 && os < 256 && (set.words[os / 64] >> (os % 64) & 1) != 0;
}

constexpr OsClassSet WIN9X_CLASSES = os_classes({OS_WIN95A, OS_WIN95B, OS_WIN98, OS_WINME});
constexpr OsClassSet NT_CLASSES = os_classes({OS_NT4, OS_WIN2000, OS_WINXP});  // not NT 3.51
constexpr OsClassSet USB_CLASSES = os_classes({OS_WIN98, OS_WINME, OS_WIN2000, OS_WINXP});
constexpr OsClassSet W2K_CLASSES = os_classes({OS_WIN2000, OS_WINXP});
constexpr OsClassSet EVERY_CLASS = os_classes_except({});

// The classification rule as a pure function of the version record.
OsClass classify_os_version(const OsVersionRecord& version);

// Reads the version record from the host and classifies it; a record that
// cannot be read gives OS_UNSUPPORTED.
OsClass classify_os(Host& host);

// The display name of a class: "Unknown" for every code without a name of
// its own (0, 2 and any other number). The longest is 18 characters.
const char* os_class_name(OsClass os);
