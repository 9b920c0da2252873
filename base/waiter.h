#pragma once
// Blocking waits, behind an interface so that tests record them instead of sleeping.

namespace tolvex {

class Waiter {
 public:
  virtual ~Waiter() = default;
  virtual void wait_ms(unsigned milliseconds) = 0;
};

// The real waiter: blocks the calling thread (Sleep).
Waiter& system_waiter();

}  // namespace tolvex
