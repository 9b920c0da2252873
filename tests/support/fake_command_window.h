#pragma once
// Test doubles for the commands: a window that records what is shown, and message boxes that
// record what was asked and give scripted answers.
#include <deque>
#include <string>
#include <vector>

#include "support/journal.h"
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
  void show_status(const char* text) override {
    view.show_status(text);
    note(journal, std::string("status ") + text);
  }
  void reset_progress() override {
    view.reset_progress();
    note(journal, "reset progress");
  }
  void set_buttons(bool enable_commands, bool enable_cancel, const char* cancel_label) override {
    buttons.push_back({enable_commands, enable_cancel, cancel_label});
    note(journal, std::string("buttons ") + (enable_commands ? "on " : "off ") + (enable_cancel ? "on " : "off ") +
                      cancel_label);
  }
  NativeWindow owner() const override { return nullptr; }

  RecordingView view;
  std::vector<Buttons> buttons;
  Journal* journal = nullptr;
};

class ScriptedMessageBoxes : public MessageBoxes {
 public:
  struct Shown {
    std::string text;
    std::string caption;
    BoxKind kind;
  };

  // The answer to the next box (OK when none is scripted).
  void answer(BoxAnswer button) { answers_.push_back(button); }

  BoxAnswer show(NativeWindow, const char* text, const char* caption, BoxKind kind) override {
    shown.push_back({text, caption, kind});
    note(journal, std::string("box ") + caption);
    if (answers_.empty()) return BoxAnswer::kOk;
    BoxAnswer button = answers_.front();
    answers_.pop_front();
    return button;
  }

  std::vector<Shown> shown;
  Journal* journal = nullptr;

 private:
  std::deque<BoxAnswer> answers_;
};

}  // namespace tolvex::testing
