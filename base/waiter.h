#pragma once
// Blocking waits, behind an interface so that tests record them instead of sleeping. The real
// waiter, which blocks the calling thread, is win/process_win.h's system_waiter().

namespace tolvex {

class Waiter {
 public:
  virtual ~Waiter() = default;
  virtual void wait_ms(unsigned milliseconds) = 0;
};

}  // namespace tolvex
