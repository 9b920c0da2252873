#include "workflow/message_boxes.h"

namespace tolvex {
namespace {

class SystemMessageBoxes : public MessageBoxes {
 public:
  int show(HWND owner, const char* text, const char* caption, UINT type) override {
    return MessageBoxA(owner, text, caption, type);
  }
};

SystemMessageBoxes g_system_boxes;
MessageBoxes* g_current_boxes = &g_system_boxes;  // replaced only by tests

}  // namespace

MessageBoxes& message_boxes() { return *g_current_boxes; }

ScopedMessageBoxes::ScopedMessageBoxes(MessageBoxes& boxes) : previous_(g_current_boxes) { g_current_boxes = &boxes; }

ScopedMessageBoxes::~ScopedMessageBoxes() { g_current_boxes = previous_; }

}  // namespace tolvex
