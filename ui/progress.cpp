#include "ui/progress.h"

#include <cstdio>
#include <cstring>

#include "text/cp932.h"

namespace tolvex {

// The percentage is computed in 64 bits: 32-bit arithmetic would wrap for transfers above
// about 43 MB and show a wrong figure.
std::uint32_t format_progress_line(std::uint32_t done, std::uint32_t total, const char* text, char* line,
                                   std::size_t size) {
  copy_cp932_text(line, size, text);
  if (done == 0 || total == 0) return 0;
  const auto percent = static_cast<std::uint32_t>(static_cast<std::uint64_t>(done) * 100u / total);
  char suffix[256] = {};
  std::snprintf(suffix, sizeof suffix, "%u％(%u/%u)", percent, done, total);
  append_cp932_text(line, size, suffix);
  return percent;
}

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
