#pragma once
// A CommandLog that keeps the records in memory, with a fixed time and address.
#include <string>
#include <vector>

#include "workflow/command_log.h"

namespace tolvex::testing {

class RecordingCommandLog : public CommandLog {
 public:
  LocalTime now() override { return LocalTime{2026, 12, 9, 7, 5, 3}; }
  std::string update_address() override { return address; }
  void append(const std::string& record) noexcept override { records.push_back(record); }

  std::string address = "http://127.0.0.1/upd/update.txt";
  std::vector<std::string> records;
};

}  // namespace tolvex::testing
