#pragma once
// The time zone in which the help file's modification time is read. The updater takes the help
// file's version from its modification time in the user's local time, and its users are in
// Japan, so the publisher uses Japan time (UTC+9, no daylight saving) unless told otherwise:
// the result then does not depend on the machine that publishes.
//
// Accepted settings: a fixed offset in the POSIX TZ form (name, then hours west of UTC:
// "JST-9" = UTC+9, "UTC0", "<+0530>-5:30"), or "local" for the process's own time zone
// (the TZ variable or the system's setting, as the C runtime's localtime sees it).
#include <cstdint>
#include <string>

namespace tolvex::publish {

struct CivilTime {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  int hour = 0;   // 0-23
};

class TimeZoneSetting {
 public:
  static constexpr const char* kDefault = "JST-9";

  // Parses a setting; false with `error` for one it cannot use (for example daylight rules).
  static bool parse(const std::string& text, TimeZoneSetting& setting, std::string& error);

  // The local date and hour of `unix_seconds`; false when the time cannot be converted.
  bool local_time(std::int64_t unix_seconds, CivilTime& time) const;

  const std::string& text() const { return text_; }

 private:
  std::string text_ = kDefault;
  bool use_process_zone_ = false;
  std::int64_t seconds_east_ = 9 * 3600;
};

}  // namespace tolvex::publish
