#pragma once
// A Waiter that records the waits asked of it instead of sleeping.
#include <string>
#include <vector>

#include "base/waiter.h"
#include "support/journal.h"

namespace tolvex::testing {

class RecordingWaiter : public Waiter {
 public:
  void wait_ms(unsigned milliseconds) override {
    waits.push_back(milliseconds);
    note(journal, "wait " + std::to_string(milliseconds));
  }
  std::vector<unsigned> waits;
  Journal* journal = nullptr;
};

}  // namespace tolvex::testing
