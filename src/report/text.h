// text.h: printf-style composition of report texts.
//
// Report lines are composed with the program's fixed formats. The result is
// a std::string that holds the whole text, however long the values are:
// nothing is cut and nothing is written past a buffer.
#pragma once

#include <string>

#if defined(__GNUC__)
#define DORVIK_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define DORVIK_PRINTF(fmt, args)
#endif

std::string format_text(const char* format, ...) DORVIK_PRINTF(1, 2);
