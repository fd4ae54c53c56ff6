// profile_loader.cpp: machine.toml, checked section by section, into a
// fresh SimMachine that replaces the caller's only when all of it loaded.

#include "host/sim/profile_loader.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "host/sim/profile_sections.h"

namespace {

// machine.toml is ASCII: other letters come as \uXXXX escapes, which the
// typed access converts to the machine's code page. The check also keeps
// other characters away from toml++ 3.3, which reaches __builtin_unreachable
// when it asks whether many characters from U+00A1 on are white space (as it
// does between tokens and in parts of strings): undefined behaviour on a
// typing slip.
bool ascii_only(const Loader& l, const std::string& text) {
  std::uint32_t line = 1;
  for (char c : text) {
    if (c == '\n') line++;
    if (static_cast<unsigned char>(c) < 0x80) continue;
    char byte[8];
    std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(c));
    return l.fail_at(line, std::string("a byte that is not ASCII (") + byte +
                               "): machine.toml is ASCII only; texts in other letters go in a "
                               ".reg file");
  }
  return true;
}

bool load_sections(const Loader& l, const toml::table& root) {
  if (!known_keys(l, root, "machine.toml",
                  {"description", "version", "directories", "locale", "clock", "registry", "file",
                   "tmex", "service_manager", "services"}))
    return false;
  // [locale] before the texts the machine keeps: its code page is how they
  // are held.
  std::string description;
  return get_string(l, root, "description", &description) && load_locale(l, root) &&
         load_version(l, root) && load_directories(l, root) && load_clock(l, root) &&
         load_registry(l, root) && load_files(l, root) && load_tmex(l, root) &&
         load_services(l, root);
}

}  // namespace

// A registry export can be hundreds of megabytes: a file whose size is
// known is read straight into the string, never through a second copy.
bool read_file_bytes(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  std::streamoff size = in.tellg();
  if (size >= 0 && in.seekg(0)) {
    out->resize(static_cast<std::size_t>(size));
    in.read(&(*out)[0], size);
    return in.gcount() == size;
  }
  in.clear();
  std::ostringstream bytes;
  bytes << in.rdbuf();
  *out = bytes.str();
  return !in.bad();
}

bool load_machine_profile_text(const std::string& source, const std::string& text,
                               const std::string& folder, SimMachine* machine, std::string* error) {
  SimMachine fresh;
  fresh.locale.clear();
  fresh.services.clear();
  const Loader l{source, folder, &fresh, error};
  toml::table root;
  if (!ascii_only(l, text) || !parse_toml(l, text, &root) || !load_sections(l, root)) return false;
  *machine = fresh;
  return true;
}

bool load_machine_profile(const std::string& folder, SimMachine* machine, std::string* error) {
  std::string path = folder + "/" + PROFILE_MACHINE_FILE;
  std::string text;
  if (!read_file_bytes(path, &text)) return profile_fault(path, 0, "cannot read the file", error);
  return load_machine_profile_text(path, text, folder, machine, error);
}
