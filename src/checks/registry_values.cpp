// registry_values.cpp: text and number reads of registry values.

#include "checks/registry_values.h"

bool RegistryKey::read_text(const std::string& name, std::string* text) const {
  char buffer[REGISTRY_TEXT_CAPACITY] = {};
  std::uint32_t size = 0;
  if (!read(name, buffer, sizeof buffer, &size)) return false;
  std::uint32_t n = 0;
  while (n < size && n < sizeof buffer && buffer[n] != '\0') n++;
  text->assign(buffer, n);
  return true;
}

bool RegistryKey::read_number(const std::string& name, std::uint32_t* value) const {
  unsigned char bytes[REGISTRY_NUMBER_CAPACITY] = {0, 0, 0, 0};
  std::uint32_t size = 0;
  if (!read(name, bytes, sizeof bytes, &size)) return false;
  *value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return true;
}
