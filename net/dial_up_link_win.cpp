// The Remote Access Service of the system, through rasapi32, and the program's one dial-up
// link over it. Our records have the oldest layouts of RASCONNA and RASDIALPARAMSA; their dwSize
// tells the service which form it gets.
#include "net/dial_up_link.h"

#include <windows.h>
#include <ras.h>

#include "win/process_win.h"

namespace tolvex {
namespace {

class SystemRemoteAccessService : public RemoteAccessService {
 public:
  std::uint32_t enumerate_connections(RasConnectionRecord* connections, std::uint32_t& byte_size,
                                      std::uint32_t& count) override {
    DWORD size = byte_size;
    DWORD found = count;
    const DWORD result = RasEnumConnectionsA(reinterpret_cast<LPRASCONNA>(connections), &size, &found);
    byte_size = size;
    count = found;
    return result;
  }

  void get_entry_dial_parameters(RasDialParameters& parameters) override {
    BOOL has_password = FALSE;
    RasGetEntryDialParamsA(nullptr, reinterpret_cast<LPRASDIALPARAMSA>(&parameters), &has_password);
  }

  std::uint32_t dial(const RasDialParameters& parameters, RasConnection& handle) override {
    // The service takes the parameters as writable; it does not change them.
    RasDialParameters copy = parameters;
    HRASCONN connection = static_cast<HRASCONN>(handle);
    const DWORD result = RasDialA(nullptr, nullptr, reinterpret_cast<LPRASDIALPARAMSA>(&copy), 0, nullptr, &connection);
    handle = connection;
    return result;
  }

  std::uint32_t hang_up(RasConnection handle) override { return RasHangUpA(static_cast<HRASCONN>(handle)); }
};

}  // namespace

RemoteAccessService& system_remote_access_service() {
  static SystemRemoteAccessService service;
  return service;
}

DialUpLink& dial_up_link() {
  static DialUpLink link(system_remote_access_service(), system_waiter());
  return link;
}

}  // namespace tolvex
