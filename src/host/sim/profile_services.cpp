// profile_services.cpp: [service_manager] and [services.NAME]: whether the
// service manager opens, and each service's state.

#include "host/sim/profile_sections.h"

namespace {

// The service states by name, SERVICE_STOPPED (1) to SERVICE_PAUSED (7).
const char* const SERVICE_STATES[] = {"stopped", "start-pending",    "stop-pending",
                                      "running", "continue-pending", "pause-pending",
                                      "paused"};

bool load_state(const Loader& l, const toml::table& s, std::uint32_t* state) {
  const toml::node* node = s.get("state");
  if (!node->is_string()) return get_u32(l, s, "state", state);
  std::string text = node->as_string()->get();
  for (std::uint32_t i = 0; i < std::size(SERVICE_STATES); i++)
    if (text == SERVICE_STATES[i]) {
      *state = i + 1;
      return true;
    }
  return l.fail(*node, "\"state\" is " + quoted(text) +
                           "; expected stopped, start-pending, stop-pending, running, "
                           "continue-pending, pause-pending, paused or a number");
}

}  // namespace

bool load_services(const Loader& l, const toml::table& root) {
  const toml::table* manager = nullptr;
  if (!get_table(l, root, "service_manager", &manager)) return false;
  if (manager) {
    if (!known_keys(l, *manager, "[service_manager]", {"open_error"}) ||
        !get_u32(l, *manager, "open_error", &l.machine->service_manager_open_error))
      return false;
  }
  const toml::table* services = nullptr;
  if (!get_table(l, root, "services", &services)) return false;
  if (!services) return true;
  for (auto&& [name, node] : *services) {
    std::string where = "[services." + std::string(name.str()) + "]";
    if (!node.is_table()) return l.fail(node, where + " must be a table");
    const toml::table& s = *node.as_table();
    SimService service;
    if (!known_keys(l, s, where, {"state", "open_error", "query_fails"}) ||
        !require(l, s, "state", where) || !get_u32(l, s, "open_error", &service.open_error) ||
        !get_bool(l, s, "query_fails", &service.query_fails) || !load_state(l, s, &service.state))
      return false;
    sim_set_service(*l.machine, std::string(name.str()), service);
  }
  return true;
}
