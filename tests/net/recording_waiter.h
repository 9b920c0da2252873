#pragma once
// A Waiter that records the waits asked of it instead of sleeping.
#include <vector>

#include "app/waiter.h"

namespace tolvex::testing {

class RecordingWaiter : public Waiter {
 public:
  void wait_ms(unsigned milliseconds) override { waits.push_back(milliseconds); }
  std::vector<unsigned> waits;
};

}  // namespace tolvex::testing
