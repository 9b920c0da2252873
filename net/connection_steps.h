#pragma once
// The steps around a command's transfers: dial the configured entry before, hang up after.
// Both write the status line and return 1 to go on, 0 on failure (message in the status line).
#include <cstdint>

#include "base/status_surface.h"
#include "net/dial_up_link.h"

namespace tolvex {

// Status texts of the two steps.
extern const char kDialUpStatusText[];      // "ダイアルアップ接続"
extern const char kDisconnectStatusText[];  // "切断"

// Clears `dialled_by_us` and AbortRequested. With `connect_type` 0 nothing else happens.
// Otherwise shows "ダイアルアップ接続" and dials `dial_up_name` unless a dial-up connection is
// already active; `dialled_by_us` becomes 1 only when this call dialled. On failure the error's
// message replaces the status text.
[[nodiscard]] int connect_step(DialUpLink& link, std::uint32_t connect_type, const char* dial_up_name,
                               std::int32_t& dialled_by_us, StatusSurface& status);

// Hangs up only what this command dialled (`connect_type` non-zero and `dialled_by_us` 1),
// showing "切断". On failure resets the progress bar and shows the error's message.
[[nodiscard]] int disconnect_step(DialUpLink& link, std::uint32_t connect_type, std::int32_t dialled_by_us,
                                  StatusSurface& status);

}  // namespace tolvex
