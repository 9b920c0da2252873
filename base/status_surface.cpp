#include "base/status_surface.h"

#include "base/error_code.h"
#include "base/error_messages.h"

namespace tolvex {

void show_last_error(StatusSurface& status) {
  char message[kStatusTextSize] = {};
  describe_error(last_error(), message);
  status.show_status(message);
}

}  // namespace tolvex
