// file_io.h: the few file operations dorvik-support makes.
//
// Behind one small seam so that the tool's logic stays portable: the same
// program builds for Linux and as a Windows console program.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The whole file; false with the reason when it cannot be read.
bool read_whole_file(const std::string& path, std::string* bytes, std::string* error);
// Creates or replaces the file with exactly these bytes.
bool write_whole_file(const std::string& path, const std::string& bytes, std::string* error);
// Creates the directory and its parents where missing.
bool make_directory(const std::string& path, std::string* error);
// The regular files below `root`, searched recursively, in a stable order;
// `root` may itself be a file.
bool list_files(const std::string& root, std::vector<std::string>* paths, std::string* error);

// A file written piece by piece, so that a large output never stands whole
// in memory. Closes in its destructor; close() tells whether every piece
// was written.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();
  bool open(const std::string& path, std::string* error);
  void write(const std::string& bytes);
  bool close(std::string* error);

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
  bool failed_ = false;
};
