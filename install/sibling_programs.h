#pragma once
// The suite's five sibling programs: closed before an installation, started again afterwards
// (closing them is Windows-only: sibling_programs_win.h).
#include <cstdint>

#include "base/waiter.h"
#include "base/window_surfaces.h"
#include "install/install_observer.h"

namespace tolvex {

constexpr int kSiblingCount = 5;

struct SiblingProgram {
  const char* marker;   // window property on its top-level window, e.g. "plo2.exe"
  const char* program;  // its program file, e.g. "plo.exe"
};

// Portable, so that the command log can name the programs an installation closed.
inline constexpr SiblingProgram kSiblingPrograms[kSiblingCount] = {
    {"plo2.exe", "plo.exe"},   {"rasto2.exe", "rasto.exe"}, {"mepli2.exe", "mepli.exe"},
    {"gaft2.exe", "gaft.exe"}, {"orbe2.exe", "orbe.exe"},
};

// What starting a closed sibling again needs from the platform. A copy of the updater that runs
// with administrator rights (one that took over an update of a protected folder) must never hand
// them on: it starts each program only with the rights that program's own process ran with,
// kept when it was closed, and leaves it closed when those were not kept.
class SiblingLauncher {
 public:
  virtual ~SiblingLauncher() = default;
  // True when this process runs with administrator rights.
  virtual bool elevated() = 0;
  // Starts sibling `row` from the updater's folder with the rights its process had when it was
  // closed. False, having started nothing, when they were not kept or the start failed.
  virtual bool start_with_kept_rights(int row) = 0;
  // Starts sibling `row` from the updater's folder with this process's own rights. False when
  // the start failed.
  virtual bool start_with_own_rights(int row) = 0;
};

// Starts every sibling that the last closing pass found: with its kept rights when this process
// is elevated, otherwise with this process's own. Waits 1000 ms per program asked for, started
// or not. A program an elevated process could not start with its kept rights is left closed:
// `observer` (when not null) hears of it and the status line names it; otherwise the status
// line is cleared. Returns how many programs were left closed.
int restart_sibling_programs(const std::int32_t (&was_running)[kSiblingCount], SiblingLauncher& launcher,
                             StatusSurface& status, Waiter& waiter, InstallObserver* observer);

}  // namespace tolvex
