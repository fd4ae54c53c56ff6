// date_line.cpp: trying the settings that could have written a date/time line.

#include "date_line.h"

#include <vector>

namespace {

const char PREFIX[] = "System Date / Time: ";
// The longest date or time text: three fields of 65535 and two separators,
// and a suffix. Anything longer no clock writes.
const std::size_t LONGEST_PART = 19;

struct Fields {
  unsigned a, b, c;
  char separator;
};

// A field of digits, blanks before them allowed ("%4u" pads with blanks).
bool field_value(const std::string& text, unsigned* value) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos || text.size() - i > 5) return false;
  unsigned v = 0;
  for (; i < text.size(); i++) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + static_cast<unsigned>(text[i] - '0');
  }
  if (v > 0xFFFF) return false;
  *value = v;
  return true;
}

// Every way to read `text` as three fields parted by one separator twice.
std::vector<Fields> three_fields(const std::string& text) {
  std::vector<Fields> out;
  if (text.size() > LONGEST_PART) return out;
  for (std::size_t i = 1; i < text.size(); i++) {
    for (std::size_t j = i + 2; j < text.size(); j++) {
      if (text[j] != text[i]) continue;
      Fields f = {0, 0, 0, text[i]};
      if (field_value(text.substr(0, i), &f.a) &&
          field_value(text.substr(i + 1, j - i - 1), &f.b) && field_value(text.substr(j + 1), &f.c))
        out.push_back(f);
    }
  }
  return out;
}

bool real_date(const CalendarTime& t) {
  const unsigned days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return t.year >= 1601 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= days[t.month - 1];
}

bool real_time(const CalendarTime& t) { return t.hour < 24 && t.minute < 60 && t.second < 60; }

// The line cut at a character of code 0, as the report line is.
std::string as_reported(const std::string& line) { return std::string(line.c_str()); }

struct Candidate {
  LocaleFormats formats;
  CalendarTime clock;
};

void date_candidates(const std::string& text, std::vector<Candidate>* out) {
  for (const Fields& f : three_fields(text)) {
    for (int order : {DATE_ORDER_MDY, DATE_ORDER_DMY, DATE_ORDER_YMD}) {
      Candidate c = {};
      c.formats.date_order = order;
      c.formats.date_separator = f.separator;
      c.clock.month = static_cast<std::uint16_t>(order == DATE_ORDER_MDY ? f.a : f.b);
      c.clock.day = static_cast<std::uint16_t>(order == DATE_ORDER_MDY   ? f.b
                                               : order == DATE_ORDER_DMY ? f.a
                                                                         : f.c);
      c.clock.year = static_cast<std::uint16_t>(order == DATE_ORDER_YMD ? f.a : f.c);
      out->push_back(c);
    }
  }
  // A separator of code 0 leaves the first field alone on the line.
  unsigned first = 0;
  if (field_value(text, &first)) {
    Candidate c = {};
    c.formats.date_separator = '\0';
    c.clock.month = static_cast<std::uint16_t>(first);
    c.clock.day = 1;
    c.clock.year = 2000;
    out->push_back(c);
    c.formats.date_order = DATE_ORDER_YMD;
    c.clock.year = static_cast<std::uint16_t>(first);
    c.clock.month = 1;
    out->push_back(c);
  }
}

void time_candidates(const std::string& text, const Candidate& date, std::vector<Candidate>* out) {
  for (int clock : {CLOCK_24H, CLOCK_12H}) {
    std::string fields = text;
    if (clock == CLOCK_12H) {
      if (text.size() < 2) continue;
      std::string suffix = text.substr(text.size() - 2);
      if (suffix != "am" && suffix != "pm") continue;
      fields = text.substr(0, text.size() - 2);
    }
    for (const Fields& f : three_fields(fields)) {
      for (unsigned hour : {f.a, f.a + 12, 0u}) {
        Candidate c = date;
        c.formats.clock = clock;
        c.formats.time_separator = f.separator;
        c.clock.hour = static_cast<std::uint16_t>(hour);
        c.clock.minute = static_cast<std::uint16_t>(f.b);
        c.clock.second = static_cast<std::uint16_t>(f.c);
        out->push_back(c);
      }
    }
  }
  // A separator of code 0 leaves the hour alone on the line.
  unsigned hour = 0;
  if (field_value(text, &hour)) {
    Candidate c = date;
    c.formats.clock = CLOCK_24H;
    c.formats.time_separator = '\0';
    c.clock.hour = static_cast<std::uint16_t>(hour);
    out->push_back(c);
  }
}

}  // namespace

std::string date_time_line(const LocaleFormats& formats, const CalendarTime& clock) {
  return as_reported(std::string(PREFIX) +
                     format_date_text(formats, clock.day, clock.month, clock.year) + " / " +
                     format_time_text(formats, clock.hour, clock.minute, clock.second));
}

bool read_date_time_line(const std::string& line, DateTimeReading* out) {
  const std::string prefix = PREFIX;
  if (line.compare(0, prefix.size(), prefix) != 0) return false;
  const std::string text = line.substr(prefix.size());

  std::vector<Candidate> dates;
  std::vector<std::pair<Candidate, bool>> whole;  // and whether the time shows
  for (std::size_t at = 0; (at = text.find(" / ", at)) != std::string::npos; at++) {
    dates.clear();
    date_candidates(text.substr(0, at), &dates);
    for (const Candidate& d : dates) {
      std::vector<Candidate> times;
      time_candidates(text.substr(at + 3), d, &times);
      for (const Candidate& c : times) whole.push_back({c, c.formats.time_separator != '\0'});
    }
  }
  dates.clear();
  date_candidates(text, &dates);
  for (const Candidate& d : dates)
    if (d.formats.date_separator == '\0') whole.push_back({d, false});

  // The program's own formatting decides; a real date and time come first.
  const Candidate* chosen = nullptr;
  bool chosen_real = false;
  int real_dates = 0;
  CalendarTime first_real = {};
  for (const auto& entry : whole) {
    const Candidate& c = entry.first;
    if (date_time_line(c.formats, c.clock) != line) continue;
    bool real = real_date(c.clock) && real_time(c.clock);
    if (real && (real_dates == 0 || c.clock.day != first_real.day ||
                 c.clock.month != first_real.month || c.clock.year != first_real.year)) {
      if (real_dates == 0) first_real = c.clock;
      real_dates++;
    }
    if (!chosen || (real && !chosen_real)) {
      chosen = &c;
      chosen_real = real;
      out->time_shown = entry.second;
    }
  }
  if (!chosen) return false;
  out->formats = chosen->formats;
  out->clock = chosen->clock;
  out->order_ambiguous = real_dates > 1;
  return true;
}
