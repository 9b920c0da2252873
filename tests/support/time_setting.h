#pragma once
// Time zone and file-time helpers for the tests of local-time version texts.
#include <filesystem>
#include <string>

namespace tolvex::testing {

// Sets TZ (POSIX form, e.g. "JST-9") for the C runtime while it lives; restores the old one.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const std::string& tz);
  ~ScopedTimeZone();
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  bool had_old_ = false;
  std::string old_;
};

// Sets a file's modification time to the given UTC time.
void set_modification_time_utc(const std::filesystem::path& file, int year, int month, int day, int hour, int minute);

}  // namespace tolvex::testing
