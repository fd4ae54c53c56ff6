// bench_timing.h: the clock and the median that the benchmark programs share.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

// Seconds from an arbitrary start, from the performance counter.
inline double seconds_now() {
  static LARGE_INTEGER frequency;
  if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The middle value, or the mean of the two middle ones; `values` is not empty.
inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
