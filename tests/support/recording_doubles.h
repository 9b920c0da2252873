#pragma once
// Test doubles that record what they are asked, for checking without a window or a clock: the
// journal that orders the calls across doubles, a status surface, a catalogue view and a waiter.
#include <map>
#include <string>
#include <vector>

#include "base/waiter.h"
#include "base/window_surfaces.h"
#include "catalogue/managed_file_table.h"

namespace tolvex::testing {

// One ordered record of what several test doubles were asked, so that a test can check the
// order of calls across them. A double given no journal records only on its own.
using Journal = std::vector<std::string>;

inline void note(Journal* journal, const std::string& entry) {
  if (journal != nullptr) journal->push_back(entry);
}

// A StatusSurface that records what the steps show, in order.
class RecordingStatusSurface : public StatusSurface {
 public:
  void show_status(const char* text) override { events.push_back(std::string("status:") + text); }
  void reset_progress() override { events.push_back("reset_progress"); }
  std::vector<std::string> events;
};

// A CatalogueView that records what the catalogue writes, for checking without a window.
class RecordingView : public CatalogueView {
 public:
  struct Row {
    std::string name;
    std::string version;
    std::string latest;
  };

  void clear_rows() override { rows.clear(); }
  void insert_row(int index, const char* name, const char* version) override {
    if (index >= static_cast<int>(rows.size())) rows.resize(index + 1);
    rows[index] = Row{name, version, ""};
  }
  void set_latest_version(int index, const char* version) override {
    if (index >= static_cast<int>(rows.size())) rows.resize(index + 1);
    rows[index].latest = version;
    latest_writes.push_back({index, version});
  }
  void show_status(const char* text) override { statuses.emplace_back(text); }
  void reset_progress() override { ++progress_resets; }

  std::vector<Row> rows;
  std::vector<std::pair<int, std::string>> latest_writes;
  std::vector<std::string> statuses;
  int progress_resets = 0;
};

// A Waiter that records the waits asked of it instead of sleeping.
class RecordingWaiter : public Waiter {
 public:
  void wait_ms(unsigned milliseconds) override {
    waits.push_back(milliseconds);
    note(journal, "wait " + std::to_string(milliseconds));
  }
  std::vector<unsigned> waits;
  Journal* journal = nullptr;
};

}  // namespace tolvex::testing
