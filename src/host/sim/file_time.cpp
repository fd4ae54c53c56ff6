// file_time.cpp: file time arithmetic on the proleptic Gregorian calendar.

#include "host/sim/file_time.h"

#include <climits>

namespace {

const std::int64_t DAYS_1601_TO_1970 = 134774;

// Days since 1 January 1970 of a civil date, and back (H. Hinnant's rules).
std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civil_from_days(std::int64_t z, std::int64_t* y, unsigned* m, unsigned* d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<std::int64_t>(yoe) + era * 400 + (*m <= 2);
}

bool is_leap(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned days_in_month(unsigned year, unsigned month) {
  static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && is_leap(year) ? 29 : days[month - 1];
}

}  // namespace

bool file_time_to_calendar(std::uint64_t file_time, CalendarTime* out) {
  if (file_time >= 0x8000000000000000ULL) return false;
  std::uint64_t seconds = file_time / FILE_TIME_TICKS_PER_SECOND;
  std::int64_t days = static_cast<std::int64_t>(seconds / 86400);
  unsigned in_day = static_cast<unsigned>(seconds % 86400);
  std::int64_t year = 0;
  unsigned month = 0, day = 0;
  civil_from_days(days - DAYS_1601_TO_1970, &year, &month, &day);
  out->year = static_cast<std::uint16_t>(year);
  out->month = static_cast<std::uint16_t>(month);
  out->day = static_cast<std::uint16_t>(day);
  out->day_of_week = static_cast<std::uint16_t>((days + 1) % 7);  // 1 January 1601 was a Monday
  out->hour = static_cast<std::uint16_t>(in_day / 3600);
  out->minute = static_cast<std::uint16_t>(in_day / 60 % 60);
  out->second = static_cast<std::uint16_t>(in_day % 60);
  out->milliseconds = static_cast<std::uint16_t>(file_time / 10000 % 1000);
  return true;
}

bool calendar_to_file_time(const CalendarTime& t, std::uint64_t* out) {
  if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > days_in_month(t.year, t.month) || t.hour > 23 || t.minute > 59 || t.second > 59 ||
      t.milliseconds > 999)
    return false;
  std::int64_t days = days_from_civil(t.year, t.month, t.day) + DAYS_1601_TO_1970;
  std::uint64_t seconds =
      static_cast<std::uint64_t>(days) * 86400 + t.hour * 3600ull + t.minute * 60ull + t.second;
  *out = seconds * FILE_TIME_TICKS_PER_SECOND + t.milliseconds * 10000ull;
  return true;
}

bool shift_file_time(std::uint64_t time, std::int64_t minutes, std::uint64_t* out) {
  const std::int64_t LAST = INT64_MAX;
  if (time > static_cast<std::uint64_t>(LAST)) return false;
  const std::int64_t shift = minutes * 60 * static_cast<std::int64_t>(FILE_TIME_TICKS_PER_SECOND);
  const std::int64_t start = static_cast<std::int64_t>(time);
  if (shift > 0 ? start > LAST - shift : start < -shift) return false;
  *out = static_cast<std::uint64_t>(start + shift);
  return true;
}
