#include "startup/os_class.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace {

struct Classification {
  OsVersionRecord version;
  OsClass expected;
};

TEST(ClassifyOs, MapsEveryVersionRecordToItsClass) {
  const Classification cases[] = {
      // 9x: minor version first, then the low 16 bits of the build.
      {{1, 4, 0, (4u << 24) | 950}, OS_WIN95A},
      {{1, 4, 0, (4u << 24) | 1110}, OS_WIN95A},
      {{1, 4, 0, (4u << 24) | 1111}, OS_WIN95B},
      {{1, 4, 0, 65536 + 950}, OS_WIN95A},
      {{1, 4, 0, 0xFFFF0000u | 1110}, OS_WIN95A},
      {{1, 4, 3, 1212}, OS_WIN95B},
      {{1, 4, 10, 1}, OS_WIN98},
      {{1, 4, 10, 0xFFFF}, OS_WIN98},
      {{1, 4, 90, 3000}, OS_WINME},
      {{1, 7, 10, 0}, OS_WIN98},  // the major version is not looked at
      // NT: by major version, then minor.
      {{2, 3, 10, 528}, OS_NT351},
      {{2, 3, 50, 807}, OS_NT351},
      {{2, 3, 51, 1057}, OS_NT351},
      {{2, 4, 0, 1381}, OS_NT4},
      {{2, 4, 7, 1381}, OS_NT4},
      {{2, 5, 0, 2195}, OS_WIN2000},
      {{2, 5, 1, 2600}, OS_WINXP},
      {{2, 5, 2, 3790}, OS_UNSUPPORTED},
      {{2, 6, 0, 6000}, OS_UNSUPPORTED},
      {{2, 2, 0, 0}, OS_UNSUPPORTED},
      // Other platforms.
      {{0, 3, 10, 0}, OS_OTHER_PLATFORM},
      {{3, 5, 1, 0}, OS_OTHER_PLATFORM},
  };
  for (const Classification& c : cases) {
    EXPECT_EQ(classify_os_version(c.version), c.expected)
        << "platform " << c.version.platform_id << " version " << c.version.major_version << "."
        << c.version.minor_version << " build " << c.version.build_number;
  }
}

TEST(ClassifyOs, UnreadableVersionIsUnsupported) {
  SimMachine m;
  m.version_readable = false;
  SimHost host(m);
  EXPECT_EQ(classify_os(host), OS_UNSUPPORTED);
  m.version_readable = true;
  m.version = {1, 4, 10, 2222};
  EXPECT_EQ(classify_os(host), OS_WIN98);
}

TEST(OsClassName, NamesKnownClassesAndUnknownForTheRest) {
  const std::pair<OsClass, const char*> cases[] = {
      {OS_UNSUPPORTED, "Unknown"},      {OS_OTHER_PLATFORM, "Unknown"}, {255, "Unknown"},
      {OS_WIN95A, "Windows 95A"},       {OS_WIN95B, "Windows 95B"},     {OS_WIN98, "Windows 98"},
      {OS_WINME, "Windows Millennium"}, {OS_NT351, "Windows NT 3.51"},  {OS_NT4, "Windows NT 4"},
      {OS_WIN2000, "Windows 2000"},     {OS_WINXP, "Windows XP"},
  };
  for (const auto& c : cases) EXPECT_STREQ(os_class_name(c.first), c.second) << c.first;
}

TEST(OsClassSets, HoldExactlyTheirMembers) {
  const OsClass all[] = {OS_OTHER_PLATFORM, OS_WIN95A, OS_WIN95B,  OS_WIN98, OS_WINME,
                         OS_NT351,          OS_NT4,    OS_WIN2000, OS_WINXP};
  std::string win9x, nt, usb, w2k;
  for (OsClass os : all) {
    if (os_in(WIN9X_CLASSES, os)) win9x += std::to_string(os) + " ";
    if (os_in(NT_CLASSES, os)) nt += std::to_string(os) + " ";
    if (os_in(USB_CLASSES, os)) usb += std::to_string(os) + " ";
    if (os_in(W2K_CLASSES, os)) w2k += std::to_string(os) + " ";
  }
  EXPECT_EQ(win9x, "4 8 16 17 ");
  EXPECT_EQ(nt, "64 128 129 ");
  EXPECT_EQ(usb, "16 17 128 129 ");
  EXPECT_EQ(w2k, "128 129 ");
}

}  // namespace
