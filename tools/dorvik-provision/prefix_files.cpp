// prefix_files.cpp: the manifest and resource scripts of a machine's files.

#include "prefix_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "host/host.h"
#include "wine_machine.h"

namespace fs = std::filesystem;

namespace {

std::string folded(const std::string& text) { return sim_fold(text); }

// The entry of `dir` named `name` in any letter case, or `name` itself.
std::string existing_name(const fs::path& dir, const std::string& name) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec))
    if (folded(entry.path().filename().string()) == folded(name))
      return entry.path().filename().string();
  return name;
}

// File time (100 ns since 1601) as Unix seconds with a fraction.
std::string unix_time(std::uint64_t file_time) {
  const std::uint64_t EPOCH_DIFFERENCE = 116444736000000000ULL;
  std::uint64_t ticks = file_time > EPOCH_DIFFERENCE ? file_time - EPOCH_DIFFERENCE : 0;
  char text[40];
  std::snprintf(text, sizeof text, "%llu.%07llu", static_cast<unsigned long long>(ticks / 10000000),
                static_cast<unsigned long long>(ticks % 10000000));
  return text;
}

std::string rc_text(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';  // resource scripts double a quote
    out += c;
  }
  return out + "\"";
}

bool write_file(const std::string& path, const std::string& text, std::string* error) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out) *error = "cannot write " + path;
  return static_cast<bool>(out);
}

std::string hex4(std::uint32_t n) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", n & 0xFFFF);
  return text;
}

// The stand-in TMEX library's form: it exports TMGetTypeVersion or not; a
// library that does not load at all imports from a library the prefix lacks.
const char* stand_in_form(const SimTmexLibrary& tmex) {
  if (!tmex.present) return "missing-import";
  return tmex.has_function ? "with" : "without";
}

}  // namespace

std::string prefix_unix_path(const std::string& prefix, const std::string& path_in_code_page,
                             int code_page) {
  // Split in UTF-8, where no byte of a character equals a backslash.
  std::string windows_path = code_page_to_utf8(code_page, path_in_code_page);
  char drive = windows_path[0];
  if (drive >= 'A' && drive <= 'Z') drive = static_cast<char>(drive + 32);
  fs::path path = fs::path(prefix) / (std::string("drive_") + drive);
  std::size_t start = 3;
  while (start < windows_path.size()) {
    std::size_t end = windows_path.find('\\', start);
    if (end == std::string::npos) end = windows_path.size();
    if (end > start) path /= existing_name(path, windows_path.substr(start, end - start));
    start = end + 1;
  }
  return path.string();
}

std::string version_resource_script(const SimVersionInfo& version) {
  std::string rc =
      "1 VERSIONINFO\nFILEVERSION 0,0,0,0\nPRODUCTVERSION 0,0,0,0\nFILEOS 0x4\n"
      "FILETYPE 0x2\nBEGIN\n  BLOCK \"StringFileInfo\"\n  BEGIN\n";
  for (const auto& [block, text] : version.file_versions)
    rc += "    BLOCK " + rc_text(block) + "\n    BEGIN\n      VALUE \"FileVersion\", " +
          rc_text(text) + "\n    END\n";
  rc += "  END\n";
  if (version.state == SIM_VERSION_PRESENT) {
    rc += "  BLOCK \"VarFileInfo\"\n  BEGIN\n    VALUE \"Translation\"";
    for (std::uint32_t t : version.translations) rc += ", " + hex4(t) + ", " + hex4(t >> 16);
    rc += "\n  END\n";
  }
  return rc + "END\n";
}

bool write_prefix_files(const SimMachine& m, const std::string& prefix, const std::string& work_dir,
                        std::string* error) {
  fs::create_directories(fs::path(work_dir) / "rc");
  std::string manifest;
  int scripts = 0;
  for (const auto& [key, file] : m.files) {
    std::string unix_path =
        prefix_unix_path(prefix, wine_path(file.path, m.windows_dir), m.code_page);
    std::string name = key.substr(key.rfind('\\') + 1);
    std::string mtime = unix_time(file.last_write_utc);
    if (file.is_directory) {
      manifest += "dir\t" + unix_path + "\t-\t" + mtime + "\t-\n";
      continue;
    }
    std::string rc = "-";
    if (file.version.state != SIM_VERSION_ABSENT) {
      rc = (fs::path(work_dir) / "rc" / (std::to_string(++scripts) + ".rc")).string();
      if (!write_file(rc, version_resource_script(file.version), error)) return false;
    }
    std::string size = std::to_string(file.size);
    if (name == "ibfs32.dll") {
      std::string defines;
      for (int type : {1, 2, 5}) {
        auto it = m.tmex.answers.find(type);
        defines += (defines.empty() ? "" : " ") + std::string("-DANSWER_TYPE") +
                   std::to_string(type) + "=" +
                   std::to_string(it == m.tmex.answers.end() ? 0 : it->second) + "u";
      }
      manifest += "tmex\t" + unix_path + "\t" + size + "\t" + mtime + "\t" + rc + "\t" + defines +
                  "\t" + stand_in_form(m.tmex) + "\n";
    } else {
      manifest += std::string(rc == "-" ? "plain" : "pe") + "\t" + unix_path + "\t" + size + "\t" +
                  mtime + "\t" + rc + "\n";
    }
  }
  return write_file((fs::path(work_dir) / "files.tsv").string(), manifest, error);
}
