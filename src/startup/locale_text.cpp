// locale_text.cpp: the locale's date and time text.

#include "startup/locale_text.h"

#include "report/text.h"

namespace {

// The text read as a decimal number the way the C library's atoi does:
// leading blanks skipped, an optional sign, digits up to the first other
// character, 0 when there are none.
int locale_number(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) i++;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; i++) {
    value = value * 10 + (text[i] - '0');
    if (value > 1000000) break;  // the locale holds one digit; stay far from overflow
  }
  return static_cast<int>(negative ? -value : value);
}

// The first character of a setting's text, or nothing for an empty text.
void take_first_char(const std::string& text, char* field) {
  if (!text.empty()) *field = text[0];
}

}  // namespace

void init_locale_formats(Host& host, LocaleFormats* formats) {
  std::string text;
  if (host.read_locale_info(LOCALE_ID_SDATE, 11, &text))
    take_first_char(text, &formats->date_separator);
  if (host.read_locale_info(LOCALE_ID_IDATE, 11, &text)) formats->date_order = locale_number(text);
  if (host.read_locale_info(LOCALE_ID_STIME, 9, &text))
    take_first_char(text, &formats->time_separator);
  if (host.read_locale_info(LOCALE_ID_ITIME, 9, &text)) formats->clock = locale_number(text);
}

std::string format_date_text(const LocaleFormats& f, unsigned day, unsigned month, unsigned year) {
  char s = f.date_separator;
  switch (f.date_order) {
    case DATE_ORDER_DMY: return format_text("%02u%c%02u%c%4u", day, s, month, s, year);
    case DATE_ORDER_YMD: return format_text("%4u%c%02u%c%02u", year, s, month, s, day);
    default: return format_text("%02u%c%02u%c%4u", month, s, day, s, year);
  }
}

std::string format_time_text(const LocaleFormats& f, unsigned hour, unsigned minute,
                             unsigned second) {
  char s = f.time_separator;
  if (f.clock == CLOCK_24H) return format_text("%02u%c%02u%c%02u", hour, s, minute, s, second);
  // Noon and the hours after it are "pm"; midnight reads 12am, as on a clock
  // face. An hour past 23 never comes from the clock; it is shown as given.
  const char* suffix = hour >= 12 ? "pm" : "am";
  unsigned shown = hour == 0 ? 12 : (hour > 12 && hour < 24) ? hour - 12 : hour;
  return format_text("%02u%c%02u%c%02u%s", shown, s, minute, s, second, suffix);
}

std::string local_date_text(Host& host, const LocaleFormats& formats) {
  CalendarTime now = host.local_time();
  return format_date_text(formats, now.day, now.month, now.year);
}

std::string local_time_text(Host& host, const LocaleFormats& formats) {
  CalendarTime now = host.local_time();
  return format_time_text(formats, now.hour, now.minute, now.second);
}
