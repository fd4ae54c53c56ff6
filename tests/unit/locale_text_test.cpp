// The report's date and time line as the locale writes it.

#include "startup/locale_text.h"

#include <gtest/gtest.h>

#include "host/sim/sim_host.h"

namespace {

LocaleFormats formats(char date_sep, int order, char time_sep, int clock) {
  LocaleFormats f;
  f.date_separator = date_sep;
  f.date_order = order;
  f.time_separator = time_sep;
  f.clock = clock;
  return f;
}

TEST(FormatDateText, FollowsOrderAndSeparatorWithTheWholeYear) {
  struct Case {
    LocaleFormats f;
    unsigned day, month, year;
    const char* expected;
  } cases[] = {
      {LocaleFormats(), 5, 10, 2026, "10/05/2026"},
      {formats('.', DATE_ORDER_DMY, ':', 0), 5, 10, 2026, "05.10.2026"},
      {formats('-', DATE_ORDER_YMD, ':', 0), 5, 10, 2026, "2026-10-05"},
      // The clock's year is printed as it is: a dead CMOS battery's 1980
      // must not read 2080.
      {LocaleFormats(), 1, 1, 1980, "01/01/1980"},
      {LocaleFormats(), 31, 12, 1999, "12/31/1999"},
      {LocaleFormats(), 1, 1, 2086, "01/01/2086"},
      {LocaleFormats(), 1, 1, 1985, "01/01/1985"},
      {LocaleFormats(), 1, 1, 601, "01/01/ 601"},
      {LocaleFormats(), 31, 12, 30827, "12/31/30827"},
      // Orders the locale does not provide fall back to month-day-year.
      {formats('/', 7, ':', 0), 5, 10, 2026, "10/05/2026"},
      {formats('/', -1, ':', 0), 5, 10, 2026, "10/05/2026"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(format_date_text(c.f, c.day, c.month, c.year), c.expected) << c.expected;
}

TEST(FormatTimeText, TwelveHourClockReadsAsOnAClockFace) {
  struct Case {
    unsigned h, m, s;
    const char* expected;
  } cases[] = {
      {0, 0, 0, "12:00:00am"},    {0, 15, 0, "12:15:00am"}, {9, 7, 3, "09:07:03am"},
      {11, 59, 59, "11:59:59am"}, {12, 0, 0, "12:00:00pm"}, {12, 59, 59, "12:59:59pm"},
      {13, 0, 0, "01:00:00pm"},   {21, 7, 3, "09:07:03pm"}, {23, 59, 59, "11:59:59pm"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(format_time_text(LocaleFormats(), c.h, c.m, c.s), c.expected) << c.expected;
}

TEST(FormatTimeText, TwentyFourHourClockAndSeparators) {
  EXPECT_EQ(format_time_text(formats('/', 0, ':', CLOCK_24H), 0, 15, 0), "00:15:00");
  EXPECT_EQ(format_time_text(formats('/', 0, ':', CLOCK_24H), 13, 0, 0), "13:00:00");
  EXPECT_EQ(format_time_text(formats('/', 0, '.', CLOCK_24H), 21, 7, 3), "21.07.03");
  EXPECT_EQ(format_time_text(formats('/', 0, '.', CLOCK_12H), 21, 7, 3), "09.07.03pm");
  // A clock setting the locale does not provide is the default 12-hour one.
  EXPECT_EQ(format_time_text(formats('/', 0, ':', 5), 21, 7, 3), "09:07:03pm");
}

TEST(InitLocaleFormats, ReadsEachSettingOnItsOwn) {
  struct Case {
    std::map<std::uint32_t, std::string> locale;
    const char* date;
    const char* time;
  } cases[] = {
      // Every read fails: the built-in defaults.
      {{}, "10/05/2026", "09:07:03pm"},
      {{{LOCALE_ID_SDATE, "."},
        {LOCALE_ID_IDATE, "1"},
        {LOCALE_ID_STIME, ":"},
        {LOCALE_ID_ITIME, "1"}},
       "05.10.2026",
       "21:07:03"},
      // Separators of several characters are cut to their first one.
      {{{LOCALE_ID_SDATE, "-/"}, {LOCALE_ID_IDATE, "2"}, {LOCALE_ID_STIME, " h "}},
       "2026-10-05",
       "09 07 03pm"},
      // Numbers are read as the C library reads them.
      {{{LOCALE_ID_IDATE, "  1xyz"}, {LOCALE_ID_ITIME, "+1"}}, "05/10/2026", "21:07:03"},
      {{{LOCALE_ID_IDATE, "abc"}, {LOCALE_ID_ITIME, ""}}, "10/05/2026", "09:07:03pm"},
      // A failing read does not stop the later ones.
      {{{LOCALE_ID_ITIME, "1"}}, "10/05/2026", "21:07:03"},
      // A text that does not fit its buffer (11 and 9 characters) fails.
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
