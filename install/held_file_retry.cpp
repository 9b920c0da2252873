#include "install/held_file_retry.h"

#include <algorithm>
#include <cstdio>

namespace tolvex {

bool HeldFileRetry::run(const char* name, const std::function<bool()>& attempt, const std::function<bool()>& held) {
  unsigned waited = 0;
  unsigned pause = kFirstPauseMs;
  for (;;) {
    if (attempt()) return true;
    if (!held() || waited >= kTotalPauseMs) return false;
    if (waited == 0) {
      char text[512] = {};
      std::snprintf(text, sizeof text, "%s の使用が終わるのを待っています。", name);
      status_.show_status(text);
    }
    const unsigned this_pause = std::min(pause, kTotalPauseMs - waited);
    waiter_.wait_ms(this_pause);
    waited += this_pause;
    pause = std::min(pause * 2, kLongestPauseMs);
  }
}

}  // namespace tolvex
