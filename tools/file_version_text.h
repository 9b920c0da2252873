#pragma once
// The version text the updater would compute for a file, computed here from the file's bytes:
// "%d,%02d,%d,%04d" of a program's or library's fixed file version, or the help file's date
// form "2,00,%d%d%02d,%02d%02d" from its modification time in the chosen time zone.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/time_zone.h"

namespace tolvex::publish {

enum class VersionOutcome {
  ok,          // `text` holds one of the two version forms
  missing,     // the file does not exist
  unreadable,  // the file exists but cannot be read (see `problem`)
  no_version,  // read, but it carries no usable version information (see `problem`)
};

struct FileVersionText {
  VersionOutcome outcome = VersionOutcome::missing;
  std::string text;     // the version text when ok; "-" otherwise, as the updater shows it
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

}  // namespace tolvex::publish
