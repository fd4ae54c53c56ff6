// date_line.h: the locale and the clock read back from the date/time line.
//
// The line "System Date / Time: DATE / TIME" follows the user's regional
// settings: the order of day, month and year, the two separators and the
// 12- or 24-hour clock. Several settings can give the same text (05/10/2026
// is 5 October or 10 May); the reading that the program's own formatting
// turns back into exactly this text is taken, a real calendar date first,
// month-day-year before day-month-year before year-month-day.
#pragma once

#include <string>

#include "host/host.h"
#include "startup/locale_text.h"

struct DateTimeReading {
  LocaleFormats formats;
  CalendarTime clock;    // year, month, day, hour, minute, second as the clock gave them
  bool order_ambiguous;  // another order reads another real date from the same text
  bool time_shown;       // false when a separator of code 0 ended the line early
};

// `line` is the whole date/time line. False when no setting gives it.
bool read_date_time_line(const std::string& line, DateTimeReading* out);

// The line that the program writes for these settings and this clock.
std::string date_time_line(const LocaleFormats& formats, const CalendarTime& clock);
