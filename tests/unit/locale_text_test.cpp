// The report's date and time line as the locale writes it.

#include "startup/locale_text.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace {

// The clock's year is printed whole (a dead CMOS battery's 1980 must not
// read 2080), and the 12-hour clock reads as on a clock face.
TEST(LocaleText, YearsAndTwelveHourClock) {
  EXPECT_EQ(format_date_text(LocaleFormats(), 31, 12, 1980), "12/31/1980");
  EXPECT_EQ(format_date_text(LocaleFormats(), 31, 12, 601), "12/31/ 601");
  EXPECT_EQ(format_date_text(LocaleFormats(), 31, 12, 30827), "12/31/30827");
  const std::pair<unsigned, const char*> hours[] = {
      {0, "12:07:03am"}, {11, "11:07:03am"}, {12, "12:07:03pm"}, {13, "01:07:03pm"}};
  for (const auto& h : hours) EXPECT_EQ(format_time_text(LocaleFormats(), h.first, 7, 3), h.second);
}

// Each setting is read on its own; one that fails or does not fit its buffer
// leaves its default, and the later ones are still read.
TEST(InitLocaleFormats, ReadsEachSettingOnItsOwn) {
  struct Case {
    std::map<std::uint32_t, std::string> locale;
    const char* date;
    const char* time;
  } cases[] = {
      {{}, "10/05/2026", "09:07:03pm"},
      // Separators of several characters are cut to their first one.
      {{{LOCALE_ID_SDATE, "-/"}, {LOCALE_ID_IDATE, "2"}, {LOCALE_ID_STIME, " h "}},
       "2026-10-05",
       "09 07 03pm"},
      // Numbers are read as the C library reads them; orders and clocks it
      // does not provide are the defaults.
      {{{LOCALE_ID_IDATE, "  1xyz"}, {LOCALE_ID_ITIME, "+1"}}, "05/10/2026", "21:07:03"},
      {{{LOCALE_ID_IDATE, "7"}, {LOCALE_ID_ITIME, "5"}}, "10/05/2026", "09:07:03pm"},
      // Buffers of 11 and 9 characters, terminator included.
      {{{LOCALE_ID_SDATE, "0123456789A"}, {LOCALE_ID_STIME, "012345678"}},
       "10/05/2026",
       "09:07:03pm"},
      {{{LOCALE_ID_SDATE, ".123456789"}, {LOCALE_ID_STIME, ".1234567"}},
       "10.05.2026",
       "09.07.03pm"},
  };
  for (const Case& c : cases) {
    SimMachine m;
    m.locale = c.locale;
    SimHost host(m);
    LocaleFormats f;
    init_locale_formats(host, &f);
    EXPECT_EQ(local_date_text(host, f), c.date);
    EXPECT_EQ(local_time_text(host, f), c.time);
  }
}

}  // namespace
