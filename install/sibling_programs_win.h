#pragma once
// Closing the suite's sibling programs, and the Windows launcher that starts them again with the
// rights each one ran with.
#include <windows.h>

#include <cstdint>

#include "base/waiter.h"
#include "base/window_surfaces.h"
#include "install/sibling_programs.h"
#include "win/scoped_win.h"

namespace tolvex {

// Starts the siblings from the updater's own folder. While they are closed it keeps, for each
// one, the access token of the process that owned its window (a process that runs without
// administrator rights preferred, when several windows carry one marker), so that an elevated
// copy can start it again with exactly those rights.
class SiblingProcessLauncher : public SiblingLauncher {
 public:
  SiblingProcessLauncher() = default;
  SiblingProcessLauncher(const SiblingProcessLauncher&) = delete;
  SiblingProcessLauncher& operator=(const SiblingProcessLauncher&) = delete;

  // Keeps the token of the process that owns `window`, found for sibling `row`. Nothing is kept
  // when the process or its token cannot be opened.
  void keep_rights_of(int row, HWND window);

  bool elevated() override;
  // CreateProcessWithTokenW with a primary copy of the kept token.
  bool start_with_kept_rights(int row) override;
  // ShellExecuteA "open", as the updater has always started them.
  bool start_with_own_rights(int row) override;

 private:
  OwnedHandle tokens_[kSiblingCount];
};

// Finds every running sibling by its marker (restoring minimised windows), keeps the rights of
// each one's process in `launcher`, posts WM_CLOSE to each window found, in the order found, and
// waits 5000 ms once if any was found. was_running[i] tells afterwards whether sibling i was
// found.
void close_sibling_programs(std::int32_t (&was_running)[kSiblingCount], SiblingProcessLauncher& launcher,
                            StatusSurface& status, Waiter& waiter);

}  // namespace tolvex
