#include "ui/connection_options.h"

#include "app/settings.h"
#include "ui/registry_key.h"

namespace tolvex {

void read_connection_options(ConnectionOptions& options) {
  RegistryKey key;
  if (key.open(HKEY_CURRENT_USER, kDialUpOptionKey) != ERROR_SUCCESS) return;
  std::string name;
  key.read_string(kDialUpNameValue, name);
  options.DialUpName = name;
  std::uint32_t connect_type = 0;
  key.read_dword(kConnectTypeValue, connect_type);
  options.ConnectType = connect_type;
  key.close();
}

}  // namespace tolvex
