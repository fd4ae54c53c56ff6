// profile_registry.cpp: [registry]: the registry files the machine is built
// from, and the keys and values that fail to open or to read.

#include "checks/registry_keys.h"
#include "host/sim/profile_sections.h"
#include "host/sim/reg_file.h"

namespace {

bool import_files(const Loader& l, const toml::node& files) {
  if (!files.is_array()) return l.fail(files, "\"import\" must be a list of file names");
  const std::vector<std::string> keys_read = registry_keys_read();
  for (const toml::node& entry : *files.as_array()) {
    if (!entry.is_string()) return l.fail(entry, "\"import\" must be a list of file names");
    std::string path = l.folder + "/" + entry.as_string()->get();
    std::string bytes;
    if (!read_file_bytes(path, &bytes))
      return l.fail(entry, "cannot read registry file " + quoted(path));
    // The registry file's own faults name that file and its line. Of its
    // keys, the machine keeps those that a check opens.
    if (!apply_reg_file(path, bytes, l.machine, l.error, &keys_read)) return false;
  }
  return true;
}

bool load_errors(const Loader& l, const toml::node& errors) {
  if (!errors.is_array_of_tables())
    return l.fail(errors, "\"errors\" must be a list of tables ([[registry.errors]])");
  for (const toml::node& entry : *errors.as_array()) {
    const toml::table& e = *entry.as_table();
    if (!known_keys(l, e, "[[registry.errors]]", {"key", "value", "error"}) ||
        !require(l, e, "key", "[[registry.errors]]") ||
        !require(l, e, "error", "[[registry.errors]]"))
      return false;
    std::string key, value;
    bool has_value = false;
    std::uint32_t code = 0;
    if (!get_string(l, e, "key", &key) || !get_string(l, e, "value", &value, &has_value) ||
        !get_u32(l, e, "error", &code))
      return false;
    if (code == 0) return l.fail(*e.get("error"), "\"error\" must be a Win32 error code, not 0");
    SimRegistryKey& k = sim_add_key(*l.machine, key);
    if (!has_value) {
      k.open_error = code;
      continue;
    }
    std::string folded = sim_fold(value, l.machine->code_page);
    auto it = k.values.find(folded);
    if (it == k.values.end()) {
      SimRegistryValue v;
      v.name = value;
      it = k.values.emplace(folded, v).first;
    }
    it->second.read_error = code;
  }
  return true;
}

}  // namespace

bool load_registry(const Loader& l, const toml::table& root) {
  const toml::table* t = nullptr;
  if (!get_table(l, root, "registry", &t)) return false;
  if (!t) return true;  // an empty registry
  if (!known_keys(l, *t, "[registry]", {"import", "errors"})) return false;
  const toml::node* files = t->get("import");
  const toml::node* errors = t->get("errors");
  return (!files || import_files(l, *files)) && (!errors || load_errors(l, *errors));
}
