#include "tools/time_zone.h"

#include <cctype>
#include <ctime>

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

}  // namespace tolvex::publish
