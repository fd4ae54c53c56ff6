// The classification rule at its edges; the version record of every class,
// its name and its sets show in the machine profiles' reports.

#include "startup/os_class.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace {

TEST(ClassifyOs, MapsEveryVersionRecordToItsClass) {
  const std::pair<OsVersionRecord, OsClass> cases[] = {
      // 9x: the minor version decides first, then the low 16 bits of the build.
      {{1, 4, 0, (4u << 24) | 1110}, OS_WIN95A},
      {{1, 4, 0, (4u << 24) | 1111}, OS_WIN95B},
      {{1, 4, 0, 0xFFFF0000u | 1110}, OS_WIN95A},
      {{1, 4, 3, 1212}, OS_WIN95B},
      {{1, 4, 10, 0xFFFF}, OS_WIN98},
      {{1, 7, 10, 0}, OS_WIN98},  // the major version is not looked at
      // NT: by major version, then minor.
      {{2, 3, 10, 528}, OS_NT351},
      {{2, 4, 7, 1381}, OS_NT4},
      {{2, 6, 0, 6000}, OS_UNSUPPORTED},
      {{2, 2, 0, 0}, OS_UNSUPPORTED},
      {{0, 3, 10, 0}, OS_OTHER_PLATFORM},
      {{3, 5, 1, 0}, OS_OTHER_PLATFORM},
  };
  for (const auto& [version, expected] : cases)
    EXPECT_EQ(classify_os_version(version), expected)
        << version.platform_id << " " << version.major_version << "." << version.minor_version
        << " build " << version.build_number;
}

TEST(ClassifyOs, UnreadableVersionIsUnsupported) {
  SimMachine m;
  m.version_readable = false;
  SimHost host(m);
  EXPECT_EQ(classify_os(host), OS_UNSUPPORTED);
}

}  // namespace
