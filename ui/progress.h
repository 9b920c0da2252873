#pragma once
// Progress reports of long transfers into the main window, and the message pump that keeps the
// window responsive and lets the user ask for an abort.
#include <cstddef>
#include <cstdint>

namespace tolvex {

extern const char kAbortQuestionText[];     // "中断処理を行います。\nよろしいですか？"
extern const char kAbortQuestionCaption[];  // "中断要求"

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

}  // namespace tolvex
