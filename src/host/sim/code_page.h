// code_page.h: the ANSI code pages of Windows 95 to XP, for the simulated machine.
//
// A Windows machine hands its ANSI programs every text in one code page: the
// registry's UTF-16 texts are converted to it by RegQueryValueExA, and file
// names, letter case and comparisons follow its characters, one or two bytes
// each. These functions give the simulated machine the same, from glibc's
// iconv tables. Where Windows has no character for a Unicode one it hands
// out a best fit (a letter without its accent) or the default character '?';
// nothing here fails on a text.
#pragma once

#include <string>

// The code page of Western European Windows, and of a profile that names none.
const int CODE_PAGE_DEFAULT = 1252;

// True for the ANSI code pages that Windows 95 to XP had: 874, 932, 936,
// 949, 950 and 1250 to 1258.
bool code_page_known(int code_page);
// IsDBCSLeadByte: true when `byte` starts a two-byte character (932, 936,
// 949 and 950 only).
bool code_page_lead_byte(int code_page, unsigned char byte);
// The byte length of the character at text[at] (CharNextA): 2 for a lead
// byte followed by a byte other than NUL, else 1. `at` is within the text.
std::size_t code_page_char_length(int code_page, const std::string& text, std::size_t at);
// True when the text's last character is `c` (not the second byte of one).
bool code_page_ends_with(int code_page, const std::string& text, char c);

// UTF-16LE bytes (a trailing odd byte is ignored) or UTF-8 text into the
// code page, as WideCharToMultiByte without flags converts them.
std::string code_page_from_utf16(int code_page, const std::string& utf16le);
std::string code_page_from_utf8(int code_page, const std::string& utf8);
// The code page's text as UTF-8 (for messages and Unix file names) or as
// UTF-16LE (MultiByteToWideChar); a byte it lacks becomes '?'.
std::string code_page_to_utf8(int code_page, const std::string& text);
std::string code_page_to_utf16(int code_page, const std::string& text);

// CharUpperA / CharLowerA: every character that has a case mate in the code
// page becomes it; the two bytes of a double-byte character go together, so
// a second byte equal to an ASCII letter is never mapped on its own.
void code_page_upper(int code_page, std::string* text);
void code_page_lower(int code_page, std::string* text);
