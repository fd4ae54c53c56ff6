// log_text.h: a report log's bytes as a mail program or an editor left them.
//
// Dorvik writes its log in Windows-1252 with CR LF line ends. On its way to
// the support desk a log may have been converted to LF line ends, to UTF-8
// (with or without a byte-order mark), or lost or gained a trailing blank
// line. A reading undoes one such conversion: the report's lines in
// Windows-1252, each with its line number in the file.
#pragma once

#include <string>
#include <vector>

struct LogText {
  std::vector<std::string> lines;  // Windows-1252, without line ends
  std::vector<int> numbers;        // each line's 1-based number in the file
  const char* encoding;            // "Windows-1252", "UTF-8", "UTF-8 with byte-order mark"
  const char* line_ends;           // "CR LF", "LF", "CR"
  // Set when the bytes cannot be taken this way: "LINE: why".
  int bad_line = 0;
  std::string bad_reason;
};

// The readings worth trying, most likely first: a byte-order mark means
// UTF-8; bytes that are valid UTF-8 with characters beyond ASCII are tried
// as UTF-8 before they are tried as Windows-1252; anything else is
// Windows-1252 as Dorvik wrote it.
std::vector<LogText> log_readings(const std::string& bytes);

// A blank report line holds one blank; an editor may have removed it.
bool is_blank_line(const std::string& line);
