#include "net/dial_up_link.h"

#include <cstring>
#include <memory>
#include <new>

#include "base/errors.h"

namespace tolvex {
namespace {

constexpr unsigned kHangUpRetryDelayMs = 3000;

// A zeroed connection list of at least `byte_size` bytes whose first element carries its size.
std::unique_ptr<RasConnectionRecord[]> new_connection_list(std::uint32_t byte_size) {
  std::size_t elements = (byte_size + sizeof(RasConnectionRecord) - 1) / sizeof(RasConnectionRecord);
  if (elements == 0) elements = 1;
  std::unique_ptr<RasConnectionRecord[]> list(new (std::nothrow) RasConnectionRecord[elements]());
  if (list) list[0].size = sizeof(RasConnectionRecord);
  return list;
}

}  // namespace

int DialUpLink::dial_up(const char* entry_name) {
  set_last_error(kErrorNone);
  const std::size_t name_length = std::strlen(entry_name);
  // A name the dial parameters cannot hold whole would dial another entry: refuse it.
  if (name_length == 0 || name_length > kMaxDialEntryNameBytes) {
    return fail_with(kErrorBadArgument);
  }
  const int active = has_active_connection();
  if (active == 1) {
    set_last_error(kErrorAlreadyDialled);
    return 1;
  }
  if (active == -1) {
    return fail_with(kErrorConnectionStatus);
  }

  RasDialParameters parameters;
  std::memset(&parameters, 0, sizeof parameters);
  parameters.size = sizeof parameters;
  std::memcpy(parameters.entry_name, entry_name, name_length);
  service_.get_entry_dial_parameters(parameters);

  const std::uint32_t result = service_.dial(parameters, handle_);
  dialled_ = true;
  if (result == kRasSuccess) return 1;

  // Release whatever the failed dial left behind; the dial's own code is what the user sees.
  (void)hang_up();
  dialled_ = false;
  return fail_with(result == kRasNotEnoughMemory ? kErrorOutOfMemory : kErrorDialFailed);
}

int DialUpLink::hang_up() {
  if (!dialled_) {
    handle_ = nullptr;
    return 1;
  }
  if (service_.hang_up(handle_) != kRasSuccess) {
    waiter_.wait_ms(kHangUpRetryDelayMs);
    if (service_.hang_up(handle_) != kRasSuccess) {
      handle_ = nullptr;
      return fail_with(kErrorHangUpFailed);  // still marked dialled: a later hang-up tries again
    }
  }
  handle_ = nullptr;
  dialled_ = false;
  return 1;
}

int DialUpLink::has_active_connection() {
  std::uint32_t byte_size = sizeof(RasConnectionRecord);
  std::uint32_t count = 0;
  std::unique_ptr<RasConnectionRecord[]> list = new_connection_list(byte_size);
  if (!list) return -1;
  std::uint32_t result = service_.enumerate_connections(list.get(), byte_size, count);
  if (result == kRasBufferTooSmall) {
    // More than one connection: ask again with the size the service reported.
    list = new_connection_list(byte_size);
    if (!list) return -1;
    count = 0;
    result = service_.enumerate_connections(list.get(), byte_size, count);
  }
  if (result != kRasSuccess) return -1;
  return list[0].handle != nullptr ? 1 : 0;
}

const char kDialUpStatusText[] = "ダイアルアップ接続";
const char kDisconnectStatusText[] = "切断";

int connect_step(DialUpLink& link, std::uint32_t connect_type, const char* dial_up_name, std::int32_t& dialled_by_us,
                 StatusSurface& status) {
  dialled_by_us = 0;
  set_abort_requested(false);
  if (connect_type == 0) return 1;
  status.show_status(kDialUpStatusText);
  if (link.dial_up(dial_up_name) == 0) {
    show_last_error(status);
    return 0;
  }
  dialled_by_us = last_error() != kErrorAlreadyDialled ? 1 : 0;
  return 1;
}

int disconnect_step(DialUpLink& link, std::uint32_t connect_type, std::int32_t dialled_by_us, StatusSurface& status) {
  if (connect_type == 0 || dialled_by_us == 0) return 1;
  status.show_status(kDisconnectStatusText);
  if (link.hang_up() != 0) return 1;
  status.reset_progress();
  show_last_error(status);
  return 0;
}

}  // namespace tolvex
