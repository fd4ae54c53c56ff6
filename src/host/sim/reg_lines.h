// reg_lines.h: the lines of a registry file, read one at a time.
//
// A whole-registry export runs to hundreds of megabytes: its lines are
// decoded one at a time into buffers that are used again, so that the file
// is never held a second time, decoded or split.
#pragma once

#include <cstddef>
#include <string>

struct RegLine {
  std::string text;  // without its line end; UTF-8 for a Unicode file
  std::string end;   // "\r\n", "\n", "\r", or "" at the end of the file
  int number = 0;
};

class RegLineReader {
 public:
  // The file's bytes from `start` on (after a byte-order mark), as UTF-16LE
  // when `utf16`, else as they are. A DOS end-of-file character (0x1A) ends
  // the file. The bytes must outlive the reader.
  RegLineReader(const std::string& bytes, std::size_t start, bool utf16)
      : bytes_(bytes), at_(start), utf16_(utf16) {}

  // The next line into *line (its buffers reused); false after the last.
  bool next(RegLine* line);
  // True when next() has no line left to give.
  bool at_end() const;

 private:
  // The character at at_ (UTF-16: a pair of surrogates is one; a lone one
  // is U+FFFD), and where the next starts.
  char32_t peek(std::size_t* after) const;
  void append_plain_run(std::string* text);

  const std::string& bytes_;
  std::size_t at_;
  bool utf16_;
  bool ended_ = false;
  int number_ = 0;
};
