#include "support/time_setting.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <utime.h>

#include <cstdlib>
#include <ctime>

namespace tolvex::testing {
namespace {

void put_tz(const std::string& value, bool present) {
#ifdef _WIN32
  _putenv_s("TZ", present ? value.c_str() : "");
  _tzset();
#else
  if (present) setenv("TZ", value.c_str(), 1);
  else unsetenv("TZ");
  tzset();
#endif
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long days_from_civil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

ScopedTimeZone::ScopedTimeZone(const std::string& tz) {
  if (const char* old = std::getenv("TZ")) {
    had_old_ = true;
    old_ = old;
  }
  put_tz(tz, true);
}

ScopedTimeZone::~ScopedTimeZone() { put_tz(old_, had_old_); }

void set_modification_time_utc(const std::filesystem::path& file, int year, int month, int day, int hour, int minute) {
  long long seconds = days_from_civil(year, month, day) * 86400LL + hour * 3600LL + minute * 60LL;
#ifdef _WIN32
  // The 64-bit form: the 32-bit build's time_t ends in January 2038.
  struct __utimbuf64 times;
  times.actime = seconds;
  times.modtime = seconds;
  _utime64(file.string().c_str(), &times);
#else
  struct utimbuf times;
  times.actime = static_cast<std::time_t>(seconds);
  times.modtime = static_cast<std::time_t>(seconds);
  utime(file.string().c_str(), &times);
#endif
}

}  // namespace tolvex::testing
