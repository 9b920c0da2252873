#include "install/sibling_programs.h"

#include <string>

namespace tolvex {

int restart_sibling_programs(const std::int32_t (&was_running)[kSiblingCount], SiblingLauncher& launcher,
                             StatusSurface& status, Waiter& waiter, InstallObserver* observer) {
  const bool elevated = launcher.elevated();
  unsigned asked = 0;
  std::string left_closed;
  int left_closed_count = 0;
  for (int row = 0; row < kSiblingCount; ++row) {
    if (was_running[row] == 0) continue;
    ++asked;
    // A copy without administrator rights starts them as it always has, whatever comes of it.
    if (!elevated) {
      (void)launcher.start_with_own_rights(row);
      continue;
    }
    if (launcher.start_with_kept_rights(row)) continue;
    ++left_closed_count;
    if (!left_closed.empty()) left_closed += "、";
    left_closed += kSiblingPrograms[row].program;
    if (observer != nullptr) observer->program_left_closed(kSiblingPrograms[row].program);
  }
  if (asked != 0) {
    status.show_status("しばらくお待ちください。");
    waiter.wait_ms(asked * 1000);
  }
  if (left_closed.empty()) {
    status.show_status("");
  } else {
    // The names last, so that the line's start says what happened however many there are.
    status.show_status(("再起動できませんでした：" + left_closed).c_str());
  }
  return left_closed_count;
}

}  // namespace tolvex
