#pragma once
// Where each command leaves a short record of what it did, for support. The program's log is a
// file in the user's local application data folder (command_log_file.h); tests record in memory.
#include <string>

namespace tolvex {

// A moment in local time, as a record's heading shows it.
struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class CommandLog {
 public:
  virtual ~CommandLog() = default;
  // The local time now.
  virtual LocalTime now() = 0;
  // The update address the commands use: the URL setting followed by the list name.
  virtual std::string update_address() = 0;
  // Keeps one finished record (lines in code page 932, each ended by CR LF). A record that
  // cannot be kept is dropped silently: the log never fails or holds up a command.
  virtual void append(const std::string& record) noexcept = 0;
};

}  // namespace tolvex
