#pragma once
// Decides when a progress report is drawn and the message queue pumped. Both cost far more than
// receiving a chunk (under Wine about 0.3 ms against a few microseconds), and a screen shows
// nothing faster than a frame, so a report is drawn when it says something new (another text,
// the transfer complete) and otherwise at most once a frame.
#include <cstdint>

namespace tolvex {

class RedrawPacer {
 public:
  static constexpr std::uint64_t kFrameMilliseconds = 15;

  // True when the report (text, done, total) at `now_ms` is to be drawn now; it is then
  // remembered as the last one drawn.
  bool due(const char* text, std::uint32_t done, std::uint32_t total, std::uint64_t now_ms);

 private:
  bool drawn_once_ = false;
  std::uint64_t last_ms_ = 0;
  char last_text_[256] = {};
};

}  // namespace tolvex
