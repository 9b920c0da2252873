#include "net/connection_steps.h"

#include "base/abort_request.h"
#include "base/error_code.h"

namespace tolvex {

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
