// profile_files.cpp: [[file]]: the files and folders on the machine's disk,
// with their sizes, times and version resources.

#include <climits>

#include "host/sim/file_time.h"
#include "host/sim/hex_digits.h"
#include "host/sim/profile_sections.h"

namespace {

// "040904B0": language, then code page, four hex digits each.
bool translation_key(const std::string& text, std::uint32_t* out) {
  std::uint32_t number = 0;
  if (text.size() != 8 || !hex_number(text, &number)) return false;
  *out = (number >> 16) | (number & 0xFFFF) << 16;  // language low, code page high
  return true;
}

// The shorthand's block: US English, Unicode, as most driver files carry it.
const char SHORTHAND_TRANSLATION[] = "040904B0";

const struct {
  const char* name;
  SimVersionState state;
} VERSION_STATES[] = {{"absent", SIM_VERSION_ABSENT},
                      {"unreadable", SIM_VERSION_UNREADABLE},
                      {"no-translation", SIM_VERSION_NO_TRANSLATION},
                      {"present", SIM_VERSION_PRESENT}};

bool load_version_state(const Loader& l, const toml::table& t, SimVersionInfo* out) {
  std::string state = "present";
  if (!get_string(l, t, "state", &state)) return false;
  for (const auto& row : VERSION_STATES)
    if (state == row.name) {
      out->state = row.state;
      return true;
    }
  return l.fail(*t.get("state"), "\"state\" is " + quoted(state) +
                                     "; expected absent, unreadable, no-translation or present");
}

bool load_version_resource(const Loader& l, const toml::node& node, SimVersionInfo* out) {
  if (node.is_string()) {
    std::uint32_t translation = 0;
    translation_key(SHORTHAND_TRANSLATION, &translation);
    out->state = SIM_VERSION_PRESENT;
    out->translations = {translation};
    out->file_versions[SHORTHAND_TRANSLATION] = node.as_string()->get();
    return true;
  }
  if (!node.is_table()) return l.fail(node, "\"version\" must be a FileVersion text or a table");
  const toml::table& t = *node.as_table();
  if (!known_keys(l, t, "a file's \"version\"", {"state", "translations", "strings"}) ||
      !load_version_state(l, t, out))
    return false;
  if (const toml::node* list = t.get("translations")) {
    if (!list->is_array()) return l.fail(*list, "\"translations\" must be a list of texts");
    for (const toml::node& entry : *list->as_array()) {
      std::uint32_t translation = 0;
      if (!entry.is_string() || !translation_key(entry.as_string()->get(), &translation))
        return l.fail(entry,
                      "a translation is 8 hex digits, language then code page, "
                      "such as \"040904B0\"");
      out->translations.push_back(translation);
    }
  }
  if (const toml::node* strings = t.get("strings")) {
    if (!strings->is_table())
      return l.fail(*strings, "\"strings\" must be a table of FileVersion texts by block");
    for (auto&& [block, text] : *strings->as_table()) {
      std::uint32_t unused = 0;
      if (!translation_key(std::string(block.str()), &unused))
        return l.fail(text, "string block " + quoted(std::string(block.str())) +
                                " must be 8 hex digits, such as \"040904B0\"");
      if (!text.is_string()) return l.fail(text, "a FileVersion must be a text in quotes");
      out->file_versions[std::string(block.str())] = text.as_string()->get();
    }
  }
  return true;
}

bool load_file(const Loader& l, const toml::table& f) {
  if (!known_keys(l, f, "a file", {"path", "size", "modified", "directory", "version"}) ||
      !require(l, f, "path", "a file") || !require(l, f, "modified", "a file"))
    return false;
  SimFile file;
  std::int64_t size = 0;
  CalendarTime modified;
  int offset = 0;
  if (!get_string(l, f, "path", &file.path) || !get_bool(l, f, "directory", &file.is_directory) ||
      !get_integer(l, f, "size", 0, INT64_MAX, &size) ||
      !get_date_time(l, f, "modified", &modified, &offset))
    return false;
  if (!file.is_directory && !f.get("size")) return l.fail(f, "a file has no \"size\"");
  if (file.path.size() < 3 || file.path[1] != ':' || file.path[2] != '\\')
    return l.fail(*f.get("path"), "\"path\" must be a full path such as 'C:\\WINDOWS\\x.dll'");
  std::uint64_t local = 0;
  calendar_to_file_time(modified, &local);
  if (!shift_file_time(local, -static_cast<std::int64_t>(offset), &file.last_write_utc))
    return l.fail(*f.get("modified"), "\"modified\" lies before 1601 in UTC");
  file.size = static_cast<std::uint64_t>(size);
  if (const toml::node* version = f.get("version")) {
    if (file.is_directory) return l.fail(*version, "a directory has no version resource");
    if (!load_version_resource(l, *version, &file.version)) return false;
  }
  std::string folded = sim_fold(file.path, l.machine->code_page);
  if (l.machine->files.count(folded))
    return l.fail(f, "file " + quoted(file.path) + " is listed twice");
  l.machine->files[folded] = file;
  return true;
}

}  // namespace

bool load_files(const Loader& l, const toml::table& root) {
  const toml::node* files = root.get("file");
  if (!files) return true;
  if (!files->is_array_of_tables())
    return l.fail(*files, "\"file\" must be a list of tables: one [[file]] per file");
  for (const toml::node& entry : *files->as_array())
    if (!load_file(l, *entry.as_table())) return false;
  return true;
}
