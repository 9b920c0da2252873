#pragma once
// Owner of one open registry key. Opening creates the key, volatile, when it does not exist.
#include <windows.h>

#include <cstdint>
#include <string>

#include "win/scoped_win.h"

namespace tolvex {

class RegistryKey {
 public:
  RegistryKey() = default;
  virtual ~RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Creates or opens `sub_key` under `root` (all access; a new key is volatile). Returns the
  // platform's status, 0 on success.
  [[nodiscard]] LONG open(HKEY root, const char* sub_key);
  // Reads 4 raw bytes of value `name`; `out` changes only when the status is 0.
  [[nodiscard]] LONG read_dword(const char* name, std::uint32_t& out);
  // Reads value `name` into a 1024-byte buffer; `out` changes only when the status is 0. A longer
  // value fails with ERROR_MORE_DATA.
  [[nodiscard]] LONG read_string(const char* name, std::string& out);
  void close();

  const std::string& path() const { return path_; }

 private:
  OwnedKey handle_;
  std::string path_;
};

}  // namespace tolvex
