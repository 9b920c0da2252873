#pragma once
// The suite's five sibling programs: closed before an installation, started again afterwards.
#include <cstdint>

#include "base/waiter.h"
#include "base/window_surfaces.h"

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

// Finds every running sibling by its marker (restoring minimised windows), posts WM_CLOSE to
// each window found, in the order found, and waits 5000 ms once if any was found.
// was_running[i] tells afterwards whether sibling i was found.
void close_sibling_programs(std::int32_t (&was_running)[kSiblingCount], StatusSurface& status, Waiter& waiter);

// Starts every sibling that the last closing pass found, from the updater's own folder, and
// waits 1000 ms per program started.
void restart_sibling_programs(const std::int32_t (&was_running)[kSiblingCount], StatusSurface& status, Waiter& waiter);

}  // namespace tolvex
