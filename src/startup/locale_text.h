// locale_text.h: the report's date and time, written the user's way.
//
// Start-up reads four settings of the user's default locale once; the
// status run asks for the date and the time text of its header line. Only
// that one line follows the locale: file dates are always month-day-year.
#pragma once

#include <string>

#include "host/host.h"

const int DATE_ORDER_MDY = 0;
const int DATE_ORDER_DMY = 1;
const int DATE_ORDER_YMD = 2;

const int CLOCK_12H = 0;
const int CLOCK_24H = 1;

// The built-in defaults stay in force for every setting that cannot be read.
struct LocaleFormats {
  char date_separator = '/';
  int date_order = DATE_ORDER_MDY;
  char time_separator = ':';
  int clock = CLOCK_12H;
};

// Reads the four settings into `formats`; a setting that cannot be read
// leaves its field as it was, and does not stop the others.
void init_locale_formats(Host& host, LocaleFormats* formats);

// Month, day and year in the locale's order with its separator, the year
// with all its digits, as the clock gives it. A date order outside the
// three known ones is written month-day-year, the default order.
std::string format_date_text(const LocaleFormats& formats, unsigned day, unsigned month,
                             unsigned year);

// Hour, minute and second with the locale's separator. On the 12-hour clock
// noon and the hours after it are "pm", midnight is 12 "am". A clock setting
// other than the 24-hour one is taken as the default 12-hour clock.
std::string format_time_text(const LocaleFormats& formats, unsigned hour, unsigned minute,
                             unsigned second);

// The current local date and time, each from its own read of the clock.
std::string local_date_text(Host& host, const LocaleFormats& formats);
std::string local_time_text(Host& host, const LocaleFormats& formats);
