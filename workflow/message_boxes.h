#pragma once
// Modal message boxes, behind an interface so that tests answer them and check what was asked.
#include <windows.h>

namespace tolvex {

// The three kinds of box the commands show.
constexpr UINT kQuestionBox = MB_YESNO | MB_ICONQUESTION;    // 0x24, default button Yes
constexpr UINT kStopBox = MB_OK | MB_ICONHAND;               // 0x10
constexpr UINT kInformationBox = MB_OK | MB_ICONASTERISK;    // 0x40
constexpr UINT kAbortQuestionBox = MB_OKCANCEL | MB_DEFBUTTON2;

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows a box owned by `owner` and returns the button chosen (IDOK, IDYES, ...).
  virtual int show(HWND owner, const char* text, const char* caption, UINT type) = 0;
};

// The boxes the program shows: the real ones unless a test put others in their place.
MessageBoxes& message_boxes();

// Puts `boxes` in place of the real message boxes while it lives (tests only).
class ScopedMessageBoxes {
 public:
  explicit ScopedMessageBoxes(MessageBoxes& boxes);
  ~ScopedMessageBoxes();
  ScopedMessageBoxes(const ScopedMessageBoxes&) = delete;
  ScopedMessageBoxes& operator=(const ScopedMessageBoxes&) = delete;

 private:
  MessageBoxes* previous_;
};

}  // namespace tolvex
