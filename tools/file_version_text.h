#pragma once
// The version text the updater would compute for a file, computed here from the file's bytes:
// "%d,%02d,%d,%04d" of a program's or library's fixed file version, or the help file's date
// form "2,00,%d%d%02d,%02d%02d" from its modification time in the chosen time zone; the forms
// checked, and compared as numbers where the updater's byte-string order differs.
//
// The updater takes the help file's version from its modification time in the user's local
// time, and its users are in Japan, so the publisher uses Japan time (UTC+9, no daylight saving)
// unless told otherwise: the result then does not depend on the machine that publishes.
// Accepted time zone settings: a fixed offset in the POSIX TZ form (name, then hours west of UTC:
// "JST-9" = UTC+9, "UTC0", "<+0530>-5:30"), or "local" for the process's own time zone
// (the TZ variable or the system's setting, as the C runtime's localtime sees it).
#include <cstdint>
#include <string>
#include <vector>

namespace tolvex::publish {

struct CivilTime {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  int hour = 0;   // 0-23
};

// The time zone the help file's modification time is read in.
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

enum class VersionOutcome {
  kOk,          // `text` holds one of the two version forms
  kMissing,     // the file does not exist
  kUnreadable,  // the file exists but cannot be read (see `problem`)
  kNoVersion,   // read, but it carries no usable version information (see `problem`)
};

struct FileVersionText {
  VersionOutcome outcome = VersionOutcome::kMissing;
  std::string text;     // the version text when kOk; "-" otherwise, as the updater shows it
  std::string problem;  // why there is no version, for messages
};

// The version text of a file whose content is `bytes`, last modified at `modified`, known to the
// updater as `name` (the help file is recognised by name, in any letter case, as the updater
// does).
FileVersionText version_text_of(const std::vector<std::uint8_t>& bytes, std::int64_t modified, const std::string& name,
                                const TimeZoneSetting& zone);

// The version text of an installed file at `path`, read through a link as the updater would
// (but never from anything other than a regular file).
FileVersionText file_version_text(const std::string& path, const std::string& name, const TimeZoneSetting& zone);

// The help file's text for a modification time; false when the time cannot be converted.
bool help_file_version_text(std::int64_t modified, const TimeZoneSetting& zone, std::string& text);

// True when `text` has exactly the shape "%d,%02d,%d,%04d" would give for 16-bit numbers (the
// help file's form has this shape too): no sign, no extra leading zeros, the second field two
// digits, the fourth four digits, every field at most 65535.
bool is_version_text_form(const std::string& text);

// True when `text` is a help-file date form "2,00,%d%d%02d,%02d%02d" that a real date gives:
// month 01-12, day 01-31, hour 00-23.
bool is_help_file_version_form(const std::string& text);

// Compares two texts of the form "%d,%02d,%d,%04d" field by field as numbers. False when either
// text is not of that form; otherwise `order` is <0, 0 or >0.
bool compare_version_numbers(const std::string& a, const std::string& b, int& order);

}  // namespace tolvex::publish
