// file_time.h: conversions between file times and calendar fields.
//
// A file time counts 100-nanosecond intervals since 1 January 1601 (UTC or
// local). These are the rules of the platform's FileTimeToSystemTime and
// SystemTimeToFileTime, for the simulated host and the profile loader.
#pragma once

#include <cstdint>

#include "host/host.h"

const std::uint64_t FILE_TIME_TICKS_PER_SECOND = 10000000;

// Fails, as the platform does, for times of 2^63 ticks or more.
bool file_time_to_calendar(std::uint64_t file_time, CalendarTime* out);

// Fails for fields out of range (month 1-12, day within the month, hour
// 0-23, minute and second 0-59, milliseconds 0-999, year 1601-30827).
bool calendar_to_file_time(const CalendarTime& time, std::uint64_t* out);

// `time` moved by `minutes` (local time from UTC with the offset, UTC from
// local time with its negation). Fails when the result falls before 1601 or
// at 2^63 ticks or later, where no calendar time exists.
bool shift_file_time(std::uint64_t time, std::int64_t minutes, std::uint64_t* out);
