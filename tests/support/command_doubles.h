#pragma once
// Test doubles of what the commands work with: a window that records what is shown, message
// boxes that record what was asked and give scripted answers, a command log that keeps its
// records in memory, and transfers that answer as scripted.
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "base/errors.h"
#include "catalogue/update_list.h"
#include "net/update_transfers.h"
#include "support/recording_doubles.h"
#include "workflow/command_context.h"
#include "workflow/command_log.h"
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

// A CommandLog that keeps the records in memory, with a fixed time and address.
class RecordingCommandLog : public CommandLog {
 public:
  LocalTime now() override { return LocalTime{2026, 12, 9, 7, 5, 3}; }
  std::string update_address() override { return address; }
  void append(const std::string& record) noexcept override { records.push_back(record); }

  std::string address = "http://127.0.0.1/upd/update.txt";
  std::vector<std::string> records;
};

// Transfers that answer as the test scripted, without a server: a fetch that succeeds keeps the
// scripted list text as the real one keeps the body; a failure sets LastError as the real one
// does. Each call is recorded (with the Busy state seen, when told where to look).
class ScriptedTransfers : public UpdateTransfers {
 public:
  // The list text a successful fetch keeps.
  std::string list_text;
  // Failure codes of the next calls, in order; a call with none scripted succeeds. A code of
  // kErrorAborted is preceded by a progress report, so a pending abort can be confirmed.
  std::deque<ErrorCode> failures;
  std::vector<std::string> calls;  // "fetch" or the archive name
  const std::int32_t* busy = nullptr;
  Journal* journal = nullptr;

  int fetch_update_list(ProgressCallback callback) override {
    if (!answer("fetch", callback)) return 0;
    std::unique_ptr<char[]> text(new char[list_text.size() + 1]);
    std::memcpy(text.get(), list_text.c_str(), list_text.size() + 1);
    replace_update_list_text(std::move(text));
    return 1;
  }

  int download_file(const char* archive_name, ProgressCallback callback) override {
    return answer(archive_name, callback) ? 1 : 0;
  }
  bool authenticated() override { return is_authenticated; }
  bool is_authenticated = true;

 private:
  bool answer(const std::string& call, ProgressCallback callback) {
    calls.push_back(call);
    note(journal, (call == "fetch" ? call : "download " + call) +
                      (busy != nullptr ? " busy " + std::to_string(*busy) : std::string()));
    const ErrorCode failure = failures.empty() ? kErrorNone : failures.front();
    if (!failures.empty()) failures.pop_front();
    if (failure == kErrorAborted && callback != nullptr) callback(kTransferProgress, 1, 2, "");
    if (failure == kErrorNone) return true;
    set_last_error(failure);
    return false;
  }
};

}  // namespace tolvex::testing
