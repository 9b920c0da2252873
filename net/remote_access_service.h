#pragma once
// The four operations of the Remote Access Service that the dial-up link uses, behind an
// interface of our own: the real one calls rasapi32, tests use a scripted fake. The records
// have the layouts of the service's oldest structure versions, which every version accepts.
#include <cstddef>
#include <cstdint>

namespace tolvex {

// A connection handle of the service (HRASCONN); null when there is none.
using RasConnection = void*;

// One element of the active-connection list (RASCONNA, oldest form: 412 bytes in a 32-bit
// program; the handle is pointer-sized, so the 64-bit form is larger).
struct RasConnectionRecord {
  std::uint32_t size;  // dwSize, set in the first element by the caller
  RasConnection handle;
  char entry_name[257];
  char device_type[17];
  char device_name[129];
};
static_assert(sizeof(void*) != 4 || sizeof(RasConnectionRecord) == 412, "RASCONNA is 412 bytes in 32-bit code");

// The dial parameters (RASDIALPARAMSA, oldest form: 1052 bytes).
struct RasDialParameters {
  std::uint32_t size;  // dwSize
  char entry_name[257];
  char phone_number[129];
  char callback_number[129];
  char user_name[257];
  char password[257];
  char domain[16];
};
static_assert(sizeof(RasDialParameters) == 1052, "RASDIALPARAMSA is 1052 bytes");

// Longest entry name the dial parameters hold.
constexpr std::size_t kMaxDialEntryNameBytes = sizeof(RasDialParameters::entry_name) - 1;

// Result codes of the service that the logic tells apart.
constexpr std::uint32_t kRasSuccess = 0;
constexpr std::uint32_t kRasNotEnoughMemory = 8;   // ERROR_NOT_ENOUGH_MEMORY
constexpr std::uint32_t kRasBufferTooSmall = 603;  // ERROR_BUFFER_TOO_SMALL

class RemoteAccessService {
 public:
  virtual ~RemoteAccessService() = default;

  // RasEnumConnectionsA: fills `connections` (`byte_size` bytes; the first element's size set
  // by the caller) and `count`. 603 writes the needed byte size back into `byte_size`.
  virtual std::uint32_t enumerate_connections(RasConnectionRecord* connections, std::uint32_t& byte_size,
                                              std::uint32_t& count) = 0;

  // RasGetEntryDialParamsA on the default phone book: fills in the stored phone number, user
  // name, password and domain of `parameters.entry_name`. Its result is not used.
  virtual void get_entry_dial_parameters(RasDialParameters& parameters) = 0;

  // RasDialA on the default phone book, synchronous, no notifier. 0 means connected; after any
  // result `handle` holds whatever the service opened (to be hung up after a failure).
  virtual std::uint32_t dial(const RasDialParameters& parameters, RasConnection& handle) = 0;

  // RasHangUpA: 0 means success.
  virtual std::uint32_t hang_up(RasConnection handle) = 0;
};

// The service of the system (rasapi32); Windows only.
RemoteAccessService& system_remote_access_service();

}  // namespace tolvex
