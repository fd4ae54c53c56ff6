// ansi_text.h: texts in the machine's ANSI code page, walked by characters.
//
// On a Chinese, Japanese or Korean Windows a character may take two bytes,
// and its second byte may equal a backslash or an ASCII letter. Whatever
// looks for separators, counts characters or compares letters goes through
// these, which ask the Host which bytes start a two-byte character
// (IsDBCSLeadByte), so that the simulated and the real machine agree.
#pragma once

#include <cstddef>
#include <string>

#include "host/host.h"

// CharNextA: the index after the character that starts at text[at]. A lead
// byte followed by the end or by NUL stands alone.
std::size_t ansi_next(Host& host, const std::string& text, std::size_t at);
// The index of the last backslash that is a character of its own, or npos.
std::size_t ansi_last_backslash(Host& host, const std::string& text);
// The number of characters.
std::size_t ansi_length(Host& host, const std::string& text);
// The index at which the character numbered `n` (from 0) starts; the size
// of the text when it has no more than n characters.
std::size_t ansi_char_start(Host& host, const std::string& text, std::size_t n);
// Equal when the two texts differ only in letter case: upper-cased as
// CharUpperA does, they are the same bytes.
bool ansi_same_ignoring_case(Host& host, const std::string& a, const std::string& b);
