#pragma once
// The installation step of the update command: close the sibling programs, extract and swap in
// every flagged file, refresh the list, start the sibling programs again.
#include <cstdint>

#include "base/archive_guard.h"
#include "base/waiter.h"
#include "base/window_surfaces.h"
#include "catalogue/managed_file_table.h"
#include "install/install_observer.h"
#include "install/sibling_programs.h"

namespace tolvex {

// Installs every flagged row of `table`, showing progress in `view`; `owner` is the window the
// archive library and the final activation refer to. `was_running` records the sibling programs
// closed (and started again). Returns 1 when every flagged file was replaced (the updater's own
// file, which is only staged as "tolvex.___", always counts as replaced), 0 when at least one
// failed. `guard`, when given, must hold each archive before it is extracted: one it refuses is
// not extracted, and its row fails. `observer`, when given, hears how each flagged file ended.
[[nodiscard]] int install_updates(ManagedFileTable& table, std::int32_t (&was_running)[kSiblingCount],
                                  CatalogueView& view, NativeWindow owner, Waiter& waiter,
                                  ArchiveGuard* guard = nullptr, InstallObserver* observer = nullptr);

// Puts back, at start-up, any managed file that an interrupted swap left only under its backup
// name, and removes the temporaries an interrupted extraction left.
void recover_interrupted_swaps();

}  // namespace tolvex
