#include "settings/registry_key_win.h"

namespace tolvex {

LONG RegistryKey::open(HKEY root, const char* sub_key) {
  close();
  path_ = sub_key;
  DWORD disposition = 0;
  HKEY key = nullptr;
  const LONG status =
      RegCreateKeyExA(root, sub_key, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition);
  if (status == ERROR_SUCCESS) handle_.reset(key);
  return status;
}

LONG RegistryKey::read_dword(const char* name, std::uint32_t& out) {
  BYTE buffer[4] = {};
  DWORD size = sizeof buffer;
  LONG status = RegQueryValueExA(handle_.get(), name, nullptr, nullptr, buffer, &size);
  if (status == ERROR_SUCCESS) {
    out = static_cast<std::uint32_t>(buffer[0]) | static_cast<std::uint32_t>(buffer[1]) << 8 |
          static_cast<std::uint32_t>(buffer[2]) << 16 | static_cast<std::uint32_t>(buffer[3]) << 24;
  }
  return status;
}

LONG RegistryKey::read_string(const char* name, std::string& out) {
  char buffer[1024] = {};
  DWORD size = sizeof buffer;
  LONG status = RegQueryValueExA(handle_.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  if (status == ERROR_SUCCESS) {
    buffer[sizeof buffer - 1] = '\0';  // a value stored without its terminator still ends here
    out = buffer;
  }
  return status;
}

void RegistryKey::close() { handle_.reset(); }

}  // namespace tolvex
