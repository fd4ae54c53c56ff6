// file_io.cpp: file operations through the C++ standard library.

#include "file_io.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

bool read_whole_file(const std::string& path, std::string* bytes, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot be opened";
    return false;
  }
  std::ostringstream all;
  all << in.rdbuf();
  if (in.bad()) {
    *error = path + ": cannot be read";
    return false;
  }
  *bytes = all.str();
  return true;
}

bool write_whole_file(const std::string& path, const std::string& bytes, std::string* error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    *error = path + ": cannot be written";
    return false;
  }
  return true;
}

bool make_directory(const std::string& path, std::string* error) {
  std::error_code ec;
  fs::create_directories(path, ec);
  if (ec || !fs::is_directory(path, ec)) {
    *error = path + ": cannot make the folder (" + ec.message() + ")";
    return false;
  }
  return true;
}

bool list_files(const std::string& root, std::vector<std::string>* paths, std::string* error) {
  std::error_code ec;
  if (fs::is_regular_file(root, ec)) {
    paths->push_back(root);
    return true;
  }
  fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
  if (ec) {
    *error = root + ": cannot be searched (" + ec.message() + ")";
    return false;
  }
  std::vector<std::string> found;
  for (; it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (ec) break;
    if (it->is_regular_file(ec)) found.push_back(it->path().string());
  }
  std::sort(found.begin(), found.end());
  paths->insert(paths->end(), found.begin(), found.end());
  return true;
}

OutputFile::~OutputFile() {
  if (file_) std::fclose(file_);
}

bool OutputFile::open(const std::string& path, std::string* error) {
  path_ = path;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) *error = path + ": cannot be written";
  return file_ != nullptr;
}

void OutputFile::write(const std::string& bytes) {
  if (file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) failed_ = true;
}

bool OutputFile::close(std::string* error) {
  bool written = file_ && !failed_;
  if (file_ && std::fclose(file_) != 0) written = false;
  file_ = nullptr;
  if (!written) *error = path_ + ": cannot be written";
  return written;
}
