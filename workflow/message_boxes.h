#pragma once
// Modal message boxes, behind an interface so that tests answer them and check what was asked.
#include "base/window_surfaces.h"

namespace tolvex {

// The kinds of box the program shows.
enum class BoxKind {
  kQuestion,       // Yes and No, question icon, Yes the default
  kStop,           // OK, stop icon
  kInformation,    // OK, information icon
  kAbortQuestion,  // OK and Cancel, no icon, Cancel the default
};

// The button the user chose.
enum class BoxAnswer { kOk, kCancel, kYes, kNo };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows a box owned by `owner` and returns the button chosen.
  virtual BoxAnswer show(NativeWindow owner, const char* text, const char* caption, BoxKind kind) = 0;
};

// The platform's box type (MessageBoxA's uType) of a kind (Windows).
unsigned message_box_type(BoxKind kind);

// The boxes the program shows: the real ones unless a test put others in their place (Windows).
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
