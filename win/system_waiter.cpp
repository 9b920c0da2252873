#include <windows.h>

#include "base/waiter.h"

namespace tolvex {
namespace {

class SleepingWaiter : public Waiter {
 public:
  void wait_ms(unsigned milliseconds) override { Sleep(milliseconds); }
};

}  // namespace

Waiter& system_waiter() {
  static SleepingWaiter waiter;
  return waiter;
}

}  // namespace tolvex
