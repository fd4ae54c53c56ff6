// registry_values.h: reading values below HKEY_LOCAL_MACHINE.
//
// The registry reads that the report sections share: a key that closes
// itself, a text read with the report's 256-byte capacity, and a 32-bit
// number read into four zeroed bytes. The value's registry type is never
// looked at: a text and a number are whatever bytes the value holds.
#pragma once

#include <cstdint>
#include <string>

#include "host/host.h"

// Capacities of the registry reads that the report shows.
const std::uint32_t REGISTRY_TEXT_CAPACITY = 256;
const std::uint32_t REGISTRY_NUMBER_CAPACITY = 4;

// An open key, closed when the owner goes out of scope.
class RegistryKey {
 public:
  explicit RegistryKey(Host& host) : host_(host) {}
  ~RegistryKey() {
    if (key_ != NO_HANDLE) host_.reg_close(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // An opening that reports success without giving a key counts as failed.
  bool open(const std::string& path, RegistryAccess access) {
    HostHandle key = NO_HANDLE;
    if (host_.reg_open(path, access, &key) != HOSTERR_SUCCESS) return false;
    key_ = key;
    return key_ != NO_HANDLE;
  }
  // The bytes of a value, at most `capacity`; false when it cannot be read.
  bool read(const std::string& name, void* data, std::uint32_t capacity,
            std::uint32_t* size_read) const {
    if (key_ == NO_HANDLE) return false;
    return host_.reg_query_value(key_, name, data, capacity, size_read) == HOSTERR_SUCCESS;
  }
  // The value's bytes up to the first NUL, from at most 256 bytes.
  bool read_text(const std::string& name, std::string* text) const;
  // The value's first four bytes as a little-endian number (shorter data
  // leave the upper bytes zero); data over four bytes cannot be read.
  bool read_number(const std::string& name, std::uint32_t* value) const;

 private:
  Host& host_;
  HostHandle key_ = NO_HANDLE;
};
