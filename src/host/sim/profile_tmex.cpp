// profile_tmex.cpp: [tmex]: whether the TMEX library loads, and what it
// answers for each port type.

#include <climits>
#include <cstdlib>

#include "host/sim/profile_sections.h"

bool load_tmex(const Loader& l, const toml::table& root) {
  const toml::table* t = nullptr;
  if (!get_table(l, root, "tmex", &t)) return false;
  if (!t) return true;  // no library
  if (!known_keys(l, *t, "[tmex]", {"present", "has_function", "lookup_error", "answers"}) ||
      !require(l, *t, "present", "[tmex]"))
    return false;
  SimTmexLibrary& tmex = l.machine->tmex;
  if (!get_bool(l, *t, "present", &tmex.present) ||
      !get_bool(l, *t, "has_function", &tmex.has_function) ||
      !get_u32(l, *t, "lookup_error", &tmex.lookup_error))
    return false;
  const toml::table* answers = nullptr;
  if (!get_table(l, *t, "answers", &answers)) return false;
  if (!answers) return true;
  for (auto&& [port, answer] : *answers) {
    std::string name(port.str());
    char* end = nullptr;
    long type = std::strtol(name.c_str(), &end, 10);
    if (name.empty() || *end != '\0' || type < -32768 || type > 32767)
      return l.fail(answer, "port type " + quoted(name) + " must be a number (-32768 to 32767)");
    if (!answer.is_integer()) return l.fail(answer, "an answer must be an integer");
    std::int64_t value = answer.as_integer()->get();
    if (value < INT32_MIN || value > UINT32_MAX)
      return l.fail(answer, "answer " + std::to_string(value) +
                                " is out of range (-2147483648 to 4294967295)");
    tmex.answers[static_cast<int>(type)] = static_cast<std::uint32_t>(value);
  }
  return true;
}
