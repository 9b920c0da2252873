#include "base/waiter.h"
#include "net/dial_up_link.h"

namespace tolvex {

DialUpLink& dial_up_link() {
  static DialUpLink link(system_remote_access_service(), system_waiter());
  return link;
}

}  // namespace tolvex
