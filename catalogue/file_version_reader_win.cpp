#include "catalogue/file_version_reader.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <new>

#include "catalogue/version_text.h"
#include "text/cp932.h"

namespace tolvex {

int read_file_version(const char* name, char* out, std::size_t size) {
  if (equals_ignoring_ascii_case(name, kHelpFileName)) return read_file_date_version(name, out, size);

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
