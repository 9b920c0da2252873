#include "settings/connection_options.h"

#include "settings/registry_key.h"
#include "settings/settings.h"

namespace tolvex {

void read_connection_options(ConnectionOptions& options) {
  RegistryKey key;
  if (key.open(HKEY_CURRENT_USER, kDialUpOptionKey) != ERROR_SUCCESS) return;
  // A value that is missing or unreadable leaves its default (empty name, 0).
  std::string name;
  (void)key.read_string(kDialUpNameValue, name);
  options.DialUpName = name;
  std::uint32_t connect_type = 0;
  (void)key.read_dword(kConnectTypeValue, connect_type);
  options.ConnectType = connect_type;
  key.close();
}

}  // namespace tolvex
