#pragma once
// The program's command log: a file of records, appended to one record at a time (opened,
// appended to and closed each time, shared with another updater writing at the same moment),
// and cut to its last part once it grows past kLogLimit (Windows).
#include <string>
#include <utility>

#include "workflow/command_log.h"

namespace tolvex {

// %LOCALAPPDATA%\Halvorn\Stablon2\tolvex.log, making the two folders when they are missing;
// empty when the local application data folder is unknown.
std::string prepare_command_log_path();

class CommandLogFile : public CommandLog {
 public:
  // The log at `path`; empty: prepare_command_log_path(), found at each append.
  explicit CommandLogFile(std::string path = std::string()) : path_(std::move(path)) {}

  LocalTime now() override;
  std::string update_address() override;
  // Every failure (no folder, the name taken by a folder, a full disk) drops the record or the
  // trimming, nothing else: the log is never left half rewritten, the rewrite goes through a
  // temporary file renamed over it.
  void append(const std::string& record) noexcept override;

 private:
  std::string path_;
};

}  // namespace tolvex
