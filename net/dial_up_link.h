#pragma once
// The dial-up link: the connection this program dialled, if any. One process-wide instance
// serves the program; tests build their own over a fake service and a recording waiter.
//
// The four operations of the Remote Access Service that the dial-up link uses, behind an
// interface of our own: the real one calls rasapi32, tests use a scripted fake. The records
// have the layouts of the service's oldest structure versions, which every version accepts.
//
// The steps around a command's transfers: dial the configured entry before, hang up after.
// Both write the status line and return 1 to go on, 0 on failure (message in the status line).
#include <cstddef>
#include <cstdint>

#include "base/waiter.h"
#include "base/window_surfaces.h"

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

class DialUpLink {
 public:
  DialUpLink(RemoteAccessService& service, Waiter& waiter) : service_(service), waiter_(waiter) {}
  DialUpLink(const DialUpLink&) = delete;
  DialUpLink& operator=(const DialUpLink&) = delete;

  // Resets LastError to 0, then makes a connection available: 1 when dialled now (LastError 0)
  // or when some dial-up connection is already active (LastError kErrorAlreadyDialled, nothing
  // dialled); 0 on failure with kErrorBadArgument (name empty or longer than 256 bytes),
  // kErrorConnectionStatus (active connections unreadable), kErrorOutOfMemory (dial reported lack
  // of memory) or kErrorDialFailed (any other dial failure, after hanging up what the failed dial
  // left).
  [[nodiscard]] int dial_up(const char* entry_name);

  // Hangs up the connection this program dialled, trying again once after 3000 ms: 1 on
  // success or when nothing was dialled, 0 with LastError kErrorHangUpFailed when both attempts
  // fail.
  [[nodiscard]] int hang_up();

  // 1 when any dial-up connection is active, 0 when none is, -1 when the list cannot be read.
  [[nodiscard]] int has_active_connection();

  RasConnection handle() const { return handle_; }
  bool dialled() const { return dialled_; }

 private:
  RemoteAccessService& service_;
  Waiter& waiter_;
  RasConnection handle_ = nullptr;
  bool dialled_ = false;
};

// The program's one link, over the system's service and real waits (Windows only).
DialUpLink& dial_up_link();

// Status texts of the two steps.
extern const char kDialUpStatusText[];
extern const char kDisconnectStatusText[];

// Clears `dialled_by_us` and AbortRequested. With `connect_type` 0 nothing else happens.
// Otherwise shows "ダイアルアップ接続" and dials `dial_up_name` unless a dial-up connection is
// already active; `dialled_by_us` becomes 1 only when this call dialled. On failure the error's
// message replaces the status text.
[[nodiscard]] int connect_step(DialUpLink& link, std::uint32_t connect_type, const char* dial_up_name,
                               std::int32_t& dialled_by_us, StatusSurface& status);

// Hangs up only what this command dialled (`connect_type` non-zero and `dialled_by_us` 1),
// showing "切断". On failure resets the progress bar and shows the error's message.
[[nodiscard]] int disconnect_step(DialUpLink& link, std::uint32_t connect_type, std::int32_t dialled_by_us,
                                  StatusSurface& status);

}  // namespace tolvex
