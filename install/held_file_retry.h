#pragma once
// Another program (typically a virus scanner) may open a file that was just written or renamed
// for a moment, so that renaming, removing or opening it fails with a sharing or lock
// violation. The installation then tries the step again after a pause that grows each time (50
// ms, doubling up to 2 s), for about ten seconds of pauses in all, saying in the status line
// which file it waits for; past that the step fails as it would have at once.
#include <functional>

#include "base/window_surfaces.h"
#include "base/waiter.h"

namespace tolvex {

class HeldFileRetry {
 public:
  static constexpr unsigned kFirstPauseMs = 50;
  static constexpr unsigned kLongestPauseMs = 2000;
  static constexpr unsigned kTotalPauseMs = 10000;

  HeldFileRetry(Waiter& waiter, StatusSurface& status) : waiter_(waiter), status_(status) {}

  // Runs `attempt` until it succeeds. After a failure, `held` (asked at once, so it can read the
  // platform's last error) says whether the file was only held by someone else: then the step
  // is tried again after the next pause, unless the pauses have reached the bound. `name` is
  // the file shown as waited for. True when an attempt succeeded.
  bool run(const char* name, const std::function<bool()>& attempt, const std::function<bool()>& held);

 private:
  Waiter& waiter_;
  StatusSurface& status_;
};

}  // namespace tolvex
