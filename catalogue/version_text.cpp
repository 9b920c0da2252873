#include "catalogue/version_text.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "text/cp932.h"

namespace tolvex {

const char kNoVersionText[] = "-";
const char kNoMemoryVersionText[] = " (not free memory) ";
const char kHelpFileName[] = "rova.chm";

void format_file_version(std::uint32_t version_ms, std::uint32_t version_ls, char* out, std::size_t size) {
  std::snprintf(out, size, "%u,%02u,%u,%04u", static_cast<unsigned>(version_ms >> 16),
                static_cast<unsigned>(version_ms & 0xFFFF), static_cast<unsigned>(version_ls >> 16),
                static_cast<unsigned>(version_ls & 0xFFFF));
}

void format_help_file_version(int year, int month, int day, int hour, char* out, std::size_t size) {
  char scratch[kVersionTextSize];
  std::snprintf(scratch, sizeof scratch, "2,00,%d%d%02d,%02d%02d", year / 1000, year % 10, month, day, hour);
  copy_cp932_text(out, size, scratch);
}

bool equals_ignoring_ascii_case(const char* a, const char* b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (lower(*a) != lower(*b)) return false;
  }
  return *a == *b;
}

int read_file_date_version(const char* name, char* out, std::size_t size) {
#ifdef _WIN32
  struct _stat64 status;
  if (_stat64(name, &status) != 0) {
#else
  struct stat status;
  if (stat(name, &status) != 0) {
#endif
    copy_cp932_text(out, size, kNoVersionText);
    return -1;
  }
  std::tm local{};
#ifdef _WIN32
  // The 64-bit form on both widths: the 32-bit build's time_t ends in January 2038, and a later
  // date would read as no version at all (offered again by every update).
  __time64_t modified = status.st_mtime;
  if (_localtime64_s(&local, &modified) != 0) {
#else
  std::time_t modified = status.st_mtime;
  if (localtime_r(&modified, &local) == nullptr) {
#endif
    copy_cp932_text(out, size, kNoVersionText);
    return -1;
  }
  format_help_file_version(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, out, size);
  return 0;
}

}  // namespace tolvex
