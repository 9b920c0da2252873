#include "tools/file_version_text.h"

#include <cctype>
#include <ctime>

#include "catalogue/pe_version_reader.h"
#include "catalogue/version_text.h"
#include "tools/file_system.h"

namespace tolvex::publish {
namespace {

// The civil date of a day count since 1970-01-01 (proleptic Gregorian calendar).
void civil_from_days(std::int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t day_of_era = days - era * 146097;
  const std::int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t shifted_month = (5 * day_of_year + 2) / 153;
  day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
  month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
  year = static_cast<int>(year_of_era + era * 400 + (month <= 2 ? 1 : 0));
}

// Reads up to two decimal digits at `at`; false when there is none.
bool read_number(const std::string& text, std::size_t& at, int& value) {
  std::size_t start = at;
  value = 0;
  while (at < text.size() && at - start < 2 && std::isdigit(static_cast<unsigned char>(text[at])))
    value = value * 10 + (text[at++] - '0');
  return at > start;
}

FileVersionText without_version(VersionOutcome outcome, std::string problem) {
  FileVersionText result;
  result.outcome = outcome;
  result.text = kNoVersionText;
  result.problem = std::move(problem);
  return result;
}

// The field as "%d" (width 0) or "%0<width>d" would print a number 0-65535.
bool is_field(const std::string& field, std::size_t width) {
  if (field.empty() || field.size() > 5) return false;
  for (char c : field)
    if (c < '0' || c > '9') return false;
  if (std::stoul(field) > 65535) return false;
  if (width == 0) return field.size() == 1 || field[0] != '0';
  return field.size() == width || (field.size() > width && field[0] != '0');
}

void fields_of(const std::string& text, unsigned long fields[4]) {
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    std::size_t end = i < 3 ? text.find(',', start) : text.size();
    fields[i] = std::stoul(text.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace

bool TimeZoneSetting::parse(const std::string& text, TimeZoneSetting& setting, std::string& error) {
  setting = TimeZoneSetting();
  setting.text_ = text;
  if (text == "local") {
    setting.use_process_zone_ = true;
    return true;
  }
  std::size_t at = 0;
  if (!text.empty() && text[0] == '<') {
    at = text.find('>');
    if (at == std::string::npos || at < 4) {
      error = "time zone \"" + text + "\": unterminated <name>";
      return false;
    }
    ++at;
  } else {
    while (at < text.size() && std::isalpha(static_cast<unsigned char>(text[at]))) ++at;
    if (at < 3) {
      error = "time zone \"" + text + "\": expected a name of three letters or more, e.g. JST-9";
      return false;
    }
  }
  int sign = 1;  // POSIX offsets count hours west of UTC
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) sign = text[at++] == '-' ? -1 : 1;
  int hours = 0, minutes = 0, seconds = 0;
  if (!read_number(text, at, hours)) {
    error = "time zone \"" + text + "\": expected an offset in hours after the name, e.g. JST-9";
    return false;
  }
  if (at < text.size() && text[at] == ':' && !read_number(text, ++at, minutes)) at = std::string::npos;
  if (at < text.size() && text[at] == ':' && !read_number(text, ++at, seconds)) at = std::string::npos;
  if (at != text.size() || hours > 24 || minutes > 59 || seconds > 59) {
    error = "time zone \"" + text +
            "\": only fixed offsets are accepted (no daylight saving rules); use \"local\" for the process's zone";
    return false;
  }
  setting.seconds_east_ = -sign * (hours * 3600 + minutes * 60 + seconds);
  return true;
}

bool TimeZoneSetting::local_time(std::int64_t unix_seconds, CivilTime& time) const {
  if (use_process_zone_) {
    std::tm local{};
#ifdef _WIN32
    // The 64-bit form: the 32-bit build's time_t ends in January 2038.
    __time64_t value = unix_seconds;
    if (_localtime64_s(&local, &value) != 0) return false;
#else
    std::time_t value = static_cast<std::time_t>(unix_seconds);
    if (localtime_r(&value, &local) == nullptr) return false;
#endif
    time = CivilTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour};
    return true;
  }
  const std::int64_t shifted = unix_seconds + seconds_east_;
  std::int64_t days = shifted / 86400, rest = shifted % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  civil_from_days(days, time.year, time.month, time.day);
  time.hour = static_cast<int>(rest / 3600);
  return true;
}

bool help_file_version_text(std::int64_t modified, const TimeZoneSetting& zone, std::string& text) {
  CivilTime local;
  if (!zone.local_time(modified, local)) return false;
  char buffer[kVersionTextSize];
  format_help_file_version(local.year, local.month, local.day, local.hour, buffer, sizeof buffer);
  text = buffer;
  return true;
}

FileVersionText version_text_of(const std::vector<std::uint8_t>& bytes, std::int64_t modified, const std::string& name,
                                const TimeZoneSetting& zone) {
  FileVersionText result;
  if (equals_ignoring_ascii_case(name.c_str(), kHelpFileName)) {
    if (!help_file_version_text(modified, zone, result.text))
      return without_version(VersionOutcome::kNoVersion, "modification time out of range");
    result.outcome = VersionOutcome::kOk;
    return result;
  }
  FixedFileVersion version;
  PeVersionStatus status = read_pe_file_version(bytes.data(), bytes.size(), version);
  if (status != PeVersionStatus::kOk)
    return without_version(VersionOutcome::kNoVersion, pe_version_status_text(status));
  char buffer[kVersionTextSize];
  format_file_version(version.file_version_ms, version.file_version_ls, buffer, sizeof buffer);
  result.outcome = VersionOutcome::kOk;
  result.text = buffer;
  return result;
}

FileVersionText file_version_text(const std::string& path, const std::string& name, const TimeZoneSetting& zone) {
  RegularFile file;
  std::string error;
  const OpenOutcome opened = file.open(path, Links::kFollow, error);
  if (opened == OpenOutcome::kMissing) return without_version(VersionOutcome::kMissing, "no such file");
  std::vector<std::uint8_t> bytes;
  if (opened != OpenOutcome::kOpened || !read_opened_file(file, bytes, error))
    return without_version(VersionOutcome::kUnreadable, error);
  return version_text_of(bytes, file.modified(), name, zone);
}

bool is_version_text_form(const std::string& text) {
  std::size_t fields[4] = {0, 2, 0, 4};
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    std::size_t end = i < 3 ? text.find(',', start) : text.size();
    if (end == std::string::npos || !is_field(text.substr(start, end - start), fields[i])) return false;
    start = end + 1;
  }
  return true;
}

bool is_help_file_version_form(const std::string& text) {
  if (text.size() != 14 || text.compare(0, 5, "2,00,") != 0 || text[9] != ',') return false;
  for (std::size_t i : {5, 6, 7, 8, 10, 11, 12, 13})
    if (text[i] < '0' || text[i] > '9') return false;
  auto two = [&](std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); };
  const int month = two(7), day = two(10), hour = two(12);
  return month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23;
}

bool compare_version_numbers(const std::string& a, const std::string& b, int& order) {
  if (!is_version_text_form(a) || !is_version_text_form(b)) return false;
  unsigned long x[4], y[4];
  fields_of(a, x);
  fields_of(b, y);
  order = 0;
  for (int i = 0; i < 4 && order == 0; ++i) order = x[i] < y[i] ? -1 : (x[i] > y[i] ? 1 : 0);
  return true;
}

}  // namespace tolvex::publish
