// code_page_convert.h: one code page's characters, one at a time, from the platform's tables.
//
// code_page.cpp builds its tables from these few conversions: glibc's iconv
// on Linux (code_page_iconv.cpp), Windows' own in a Windows build of the
// tools (code_page_win32.cpp). A character is a Unicode code point.
#pragma once

#include <string>

class CodePageConvert {
 public:
  CodePageConvert(int number, const char* iconv_name);
  ~CodePageConvert();
  CodePageConvert(const CodePageConvert&) = delete;
  CodePageConvert& operator=(const CodePageConvert&) = delete;

  // The character of one or two bytes; false when they are not one character.
  bool decode(const std::string& bytes, char32_t* c);
  // The character's own bytes; false when the code page lacks it.
  bool encode(char32_t c, std::string* bytes);
  // A best fit of the character (a letter without its accent); false when none.
  bool best_fit(char32_t c, std::string* bytes);
  // The character's upper and lower case mates, or the character itself.
  char32_t upper(char32_t c);
  char32_t lower(char32_t c);

 private:
  struct State;
  State* state_;
};

// Held while a code page's tables are built or used: the conversions may
// keep state between calls (iconv's descriptors do).
class CodePageLock {
 public:
  CodePageLock();
  ~CodePageLock();
  CodePageLock(const CodePageLock&) = delete;
  CodePageLock& operator=(const CodePageLock&) = delete;
};
