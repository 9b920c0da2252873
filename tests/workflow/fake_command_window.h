#pragma once
// Test doubles for the commands: a window that records what is shown, and message boxes that
// record what was asked and give scripted answers.
#include <deque>
#include <string>
#include <vector>

#include "support/recording_view.h"
#include "workflow/command_window.h"
#include "workflow/message_boxes.h"

namespace tolvex::testing {

class FakeCommandWindow : public CommandWindow {
 public:
  struct Buttons {
    bool commands;
    bool cancel;
    std::string label;
  };

  void clear_rows() override { view.clear_rows(); }
  void insert_row(int index, const char* name, const char* version) override { view.insert_row(index, name, version); }
  void set_latest_version(int index, const char* version) override { view.set_latest_version(index, version); }
  void show_status(const char* text) override { view.show_status(text); }
  void reset_progress() override { view.reset_progress(); }
  void set_buttons(bool enable_commands, bool enable_cancel, const char* cancel_label) override {
    buttons.push_back({enable_commands, enable_cancel, cancel_label});
  }
  HWND owner() const override { return nullptr; }

  RecordingView view;
  std::vector<Buttons> buttons;
};

class ScriptedMessageBoxes : public MessageBoxes {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    UINT type;
  };

  // The answer to the next box (IDOK when none is scripted).
  void answer(int button) { answers_.push_back(button); }

  int show(HWND, const char* text, const char* caption, UINT type) override {
    shown.push_back({text, caption, type});
    if (answers_.empty()) return IDOK;
    int button = answers_.front();
    answers_.pop_front();
    return button;
  }

  std::vector<Shown> shown;

 private:
  std::deque<int> answers_;
};

}  // namespace tolvex::testing
