// registry_keys.cpp: every registry key that a check opens, from the checks' own names.

#include "checks/registry_keys.h"

#include "checks/driver_table.h"
#include "checks/registry_checks.h"
#include "checks/system_identity.h"

std::vector<std::string> registry_keys_read() {
  std::vector<std::string> keys = {WIN9X_VERSION_KEY, NT_VERSION_KEY, CPU_KEY, SHARED_DLLS_KEY};
  for (const KeyCheck& check : REGISTRY_CHECKS) keys.push_back(check.key);
  return keys;
}
