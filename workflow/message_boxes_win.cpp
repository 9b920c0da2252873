#include <windows.h>

#include "workflow/message_boxes.h"

namespace tolvex {

unsigned message_box_type(BoxKind kind) {
  switch (kind) {
    case BoxKind::kQuestion:
      return MB_YESNO | MB_ICONQUESTION;  // 0x24
    case BoxKind::kStop:
      return MB_OK | MB_ICONHAND;  // 0x10
    case BoxKind::kInformation:
      return MB_OK | MB_ICONASTERISK;  // 0x40
    case BoxKind::kAbortQuestion:
      return MB_OKCANCEL | MB_DEFBUTTON2;
  }
  return MB_OK;
}

namespace {

BoxAnswer answer_of(int button) {
  switch (button) {
    case IDYES:
      return BoxAnswer::kYes;
    case IDNO:
      return BoxAnswer::kNo;
    case IDOK:
      return BoxAnswer::kOk;
    default:
      return BoxAnswer::kCancel;  // IDCANCEL, or the box could not be shown
  }
}

class SystemMessageBoxes : public MessageBoxes {
 public:
  BoxAnswer show(NativeWindow owner, const char* text, const char* caption, BoxKind kind) override {
    return answer_of(MessageBoxA(static_cast<HWND>(owner), text, caption, message_box_type(kind)));
  }
};

SystemMessageBoxes g_system_boxes;
MessageBoxes* g_current_boxes = &g_system_boxes;  // replaced only by tests

}  // namespace

MessageBoxes& message_boxes() { return *g_current_boxes; }

ScopedMessageBoxes::ScopedMessageBoxes(MessageBoxes& boxes) : previous_(g_current_boxes) { g_current_boxes = &boxes; }

ScopedMessageBoxes::~ScopedMessageBoxes() { g_current_boxes = previous_; }

}  // namespace tolvex
