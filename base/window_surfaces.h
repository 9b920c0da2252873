#pragma once
// The main window as portable code sees it: an opaque handle, the status line and progress bar,
// and the callback that long transfers call after every chunk stored.
#include <cstdint>

namespace tolvex {

// A window of the platform, opaque to portable code: portable interfaces pass it through to the
// platform's side (where it is an HWND) without looking inside. Null means no window.
using NativeWindow = void*;

// The main window's status line and progress bar, as the connection and workflow steps use them.
class StatusSurface {
 public:
  virtual ~StatusSurface() = default;
  // Replaces the whole text of the status line (an empty text clears it).
  virtual void show_status(const char* text) = 0;
  // Puts the progress bar back to 0.
  virtual void reset_progress() = 0;
};

// Report code of transfer progress.
constexpr std::int32_t kTransferProgress = 3004;

// (code, bytes done, bytes expected or 0, status text of at most 255 bytes) -> 0 to go on,
// non-zero to abort.
using ProgressCallback = int (*)(std::int32_t code, std::uint32_t done, std::uint32_t total, const char* text);

}  // namespace tolvex
