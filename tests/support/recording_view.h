#pragma once
// A CatalogueView that records what the catalogue writes, for checking without a window.
#include <map>
#include <string>
#include <vector>

#include "catalogue/managed_file_table.h"

namespace tolvex::testing {

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

}  // namespace tolvex::testing
