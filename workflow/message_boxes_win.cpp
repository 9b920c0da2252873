#include <windows.h>

#include "workflow/message_boxes.h"

namespace tolvex {

unsigned message_box_type(BoxKind kind) {
  // In the order of BoxKind: Yes/No with the question icon (0x24), OK with the stop icon (0x10),
  // OK with the information icon (0x40), OK/Cancel with Cancel the default.
  static constexpr unsigned kTypes[] = {MB_YESNO | MB_ICONQUESTION, MB_OK | MB_ICONHAND, MB_OK | MB_ICONASTERISK,
                                        MB_OKCANCEL | MB_DEFBUTTON2};
  return kTypes[static_cast<int>(kind)];
}

namespace {

BoxAnswer answer_of(int button) {
  if (button == IDYES) return BoxAnswer::kYes;
  if (button == IDNO) return BoxAnswer::kNo;
  return button == IDOK ? BoxAnswer::kOk : BoxAnswer::kCancel;  // IDCANCEL, or no box shown
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
