#pragma once
// Progress reports of long transfers into the main window, and the message pump that keeps the
// window responsive and lets the user ask for an abort (Windows); the status line of a report
// and the pacing of its redraws (portable).
#include <cstddef>
#include <cstdint>

namespace tolvex {

// The box that asks whether to abort, once the user has asked for it during a transfer.
extern const char kAbortQuestionText[];
extern const char kAbortQuestionCaption[];

// The main window's ProgressCallback: shows `text` (with "N％(done/total)" when both are
// known) in the status line, moves the progress bar, repaints, pumps pending messages and, when
// the user asked for an abort meanwhile, asks for confirmation. Non-zero means abort.
int progress_callback(std::int32_t code, std::uint32_t done, std::uint32_t total, const char* text);

// Repaints the main window and handles pending messages until none is left or an abort is
// requested. 1: go on; 0: an abort is requested.
int pump_messages();

// The status line of a report: `text` followed, when done and total are both non-zero, by
// "N％(done/total)". Returns the percentage (0 when not shown).
std::uint32_t format_progress_line(std::uint32_t done, std::uint32_t total, const char* text, char* line,
                                   std::size_t size);

// Decides when a progress report is drawn and the message queue pumped. Both cost far more than
// receiving a chunk (under Wine about 0.3 ms against a few microseconds), and a screen shows
// nothing faster than a frame, so a report is drawn when it says something new (another text,
// the transfer complete) and otherwise at most once a frame.
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
