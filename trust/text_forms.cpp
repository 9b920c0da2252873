#include "trust/text_forms.h"

#include <algorithm>
#include <cstdio>

namespace tolvex::trust {
namespace {

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kFirstYear = 1970;
constexpr std::int64_t kLastYear = 9999;

bool leap(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(std::int64_t year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && leap(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given date (proleptic Gregorian calendar).
std::int64_t days_since_epoch(std::int64_t year, int month, int day) {
  std::int64_t days = 0;
  for (std::int64_t y = kFirstYear; y < year; ++y) days += leap(y) ? 366 : 365;
  for (int m = 1; m < month; ++m) days += days_in_month(year, m);
  return days + day - 1;
}

// Reads `count` decimal digits at `text`; false when any is not a digit.
bool digits(const char* text, int count, int& value) {
  value = 0;
  for (int i = 0; i < count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

std::string to_hex(const std::uint8_t* bytes, std::size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

bool from_hex(const char* text, std::size_t text_size, std::uint8_t* bytes, std::size_t size) {
  if (text_size / 2 != size || text_size % 2 != 0) return false;
  for (std::size_t i = 0; i < size; ++i) {
    int high = digit_value(text[2 * i]);
    int low = digit_value(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

std::string format_utc_time(std::int64_t seconds) {
  const std::int64_t last = days_since_epoch(kLastYear + 1, 1, 1) * kSecondsPerDay - 1;
  seconds = std::clamp<std::int64_t>(seconds, 0, last);
  std::int64_t days = seconds / kSecondsPerDay;
  const std::int64_t time = seconds % kSecondsPerDay;
  std::int64_t year = kFirstYear;
  while (days >= (leap(year) ? 366 : 365)) days -= leap(year++) ? 366 : 365;
  int month = 1;
  while (days >= days_in_month(year, month)) days -= days_in_month(year, month++);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", static_cast<int>(year), month,
                static_cast<int>(days) + 1, static_cast<int>(time / 3600), static_cast<int>(time / 60 % 60),
                static_cast<int>(time % 60));
  return text;
}

bool parse_utc_time(const char* text, std::size_t size, std::int64_t& seconds) {
  // 0123456789012345678
  // YYYY-MM-DDTHH:MM:SSZ
  if (size != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' || text[16] != ':' ||
      text[19] != 'Z')
    return false;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (!digits(text, 4, year) || !digits(text + 5, 2, month) || !digits(text + 8, 2, day) ||
      !digits(text + 11, 2, hour) || !digits(text + 14, 2, minute) || !digits(text + 17, 2, second))
    return false;
  if (year < kFirstYear || month < 1 || month > 12 || day < 1 || day > days_in_month(year, month) || hour > 23 ||
      minute > 59 || second > 59)
    return false;
  seconds = days_since_epoch(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
  return true;
}

std::string format_public_key(const PublicKey& key) { return to_hex(key.data(), key.size()) + "\n"; }

bool parse_public_key(const char* data, std::size_t size, PublicKey& key, std::string& error) {
  if (size > 0 && data[size - 1] == '\n') --size;
  if (size != key.size() * 2 || !from_hex(data, size, key.data(), key.size())) {
    error = "not a public key: expected one line of 128 lowercase hex digits (the point X || Y)";
    return false;
  }
  return true;
}

}  // namespace tolvex::trust
