#include "ui/redraw_pacer.h"

#include <cstring>

#include "text/cp932.h"

namespace tolvex {

bool RedrawPacer::due(const char* text, std::uint32_t done, std::uint32_t total, std::uint64_t now_ms) {
  const bool new_text = std::strncmp(text, last_text_, sizeof last_text_ - 1) != 0;
  const bool complete = total != 0 && done >= total;
  const bool frame_passed = now_ms - last_ms_ >= kFrameMilliseconds;
  if (drawn_once_ && !new_text && !complete && !frame_passed) return false;
  drawn_once_ = true;
  last_ms_ = now_ms;
  if (new_text) copy_cp932_text(last_text_, sizeof last_text_, text);
  return true;
}

}  // namespace tolvex
