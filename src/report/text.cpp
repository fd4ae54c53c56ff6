// text.cpp: printf-style composition into a string of the needed size.

#include "report/text.h"

#include <cstdarg>
#include <cstdio>

std::string format_text(const char* format, ...) {
  char small[128];
  va_list args;
  va_start(args, format);
  int needed = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (needed < 0) return std::string();
  if (static_cast<std::size_t>(needed) < sizeof small) return std::string(small, needed);

  std::string text(static_cast<std::size_t>(needed) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  text.resize(static_cast<std::size_t>(needed));
  return text;
}
