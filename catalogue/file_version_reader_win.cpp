#include "catalogue/file_version_reader.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <new>

#include "catalogue/version_text.h"
#include "text/cp932.h"

namespace tolvex {

namespace {

// Room for any version block: its length field is 16 bits, and the ANSI functions may use up to
// twice as much again behind it.
constexpr DWORD kVersionBlockRoom = 3 * 65536;

// The fixed version of `path` in one read of its version block: the usual case, where the size
// query first would map the file a second time. False when that does not give a version.
bool read_fixed_version_at_once(const char* path, char* out, std::size_t size) {
  std::unique_ptr<char[]> block(new (std::nothrow) char[kVersionBlockRoom]);
  if (!block || !GetFileVersionInfoA(path, 0, kVersionBlockRoom, block.get())) return false;
  void* fixed = nullptr;
  UINT fixed_length = 0;
  if (!VerQueryValueA(block.get(), "\\", &fixed, &fixed_length) || fixed == nullptr) return false;
  const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  format_file_version(info->dwFileVersionMS, info->dwFileVersionLS, out, size);
  return true;
}

}  // namespace

int read_file_version(const char* name, char* out, std::size_t size) {
  if (equals_ignoring_ascii_case(name, kHelpFileName)) return read_file_date_version(name, out, size);

  // Only the file in the working folder counts, the one an update replaces. Given a bare name,
  // the version functions would look along the whole DLL search path as well (and take a file of
  // the same name in the system folder for the suite's); that search is also most of the cost
  // of asking about a file that is not there.
  char full_path[MAX_PATH] = {};
  const DWORD full_length = GetFullPathNameA(name, sizeof full_path, full_path, nullptr);
  const bool in_folder =
      full_length > 0 && full_length < sizeof full_path && GetFileAttributesA(full_path) != INVALID_FILE_ATTRIBUTES;
  if (!in_folder) {
    copy_cp932_text(out, size, kNoVersionText);
    return -1;
  }
  if (read_fixed_version_at_once(full_path, out, size)) return 0;

  // Every other case as the version functions report it.
  name = full_path;
  DWORD handle = 0;
  DWORD info_size = GetFileVersionInfoSizeA(name, &handle);
  if (info_size == 0) {
    copy_cp932_text(out, size, kNoVersionText);
    return -1;
  }
  std::unique_ptr<char[]> block(new (std::nothrow) char[info_size]);
  if (!block) {
    copy_cp932_text(out, size, kNoMemoryVersionText);
    return -1;
  }
  char scratch[kVersionTextSize];
  if (!GetFileVersionInfoA(name, handle, info_size, block.get())) {
    std::snprintf(scratch, sizeof scratch, "GetFileVersionInfo error (%d)", static_cast<int>(GetLastError()));
    copy_cp932_text(out, size, scratch);
    return -1;
  }
  void* fixed = nullptr;
  UINT fixed_length = 0;
  if (!VerQueryValueA(block.get(), "\\", &fixed, &fixed_length) || fixed == nullptr) {
    std::snprintf(scratch, sizeof scratch, "VerQueryValue error (%d)", static_cast<int>(GetLastError()));
    copy_cp932_text(out, size, scratch);
    return -1;
  }
  const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  format_file_version(info->dwFileVersionMS, info->dwFileVersionLS, out, size);
  return 0;
}

}  // namespace tolvex
