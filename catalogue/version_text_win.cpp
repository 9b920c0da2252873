#include "catalogue/version_text.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>

#include "catalogue/pe_version_reader.h"
#include "text/cp932.h"
#include "win/scoped_win.h"

namespace tolvex {

namespace {

// The fixed version read straight from the file's bytes, through one read-only mapping: the
// usual case. The version functions would map the file twice (size, then block), which costs
// milliseconds a file under Wine. False when the bytes do not give a version; the version
// functions then say why.
bool read_fixed_version_mapped(const char* path, char* out, std::size_t size) {
  OwnedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  LARGE_INTEGER length = {};
  if (!GetFileSizeEx(file.get(), &length) || length.QuadPart <= 0 ||
      static_cast<unsigned long long>(length.QuadPart) > SIZE_MAX)
    return false;
  OwnedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping.valid()) return false;
  const MappedView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view) return false;
  FixedFileVersion version;
  if (read_pe_file_version(view.bytes(), static_cast<std::size_t>(length.QuadPart), version) != PeVersionStatus::kOk)
    return false;
  format_file_version(version.file_version_ms, version.file_version_ls, out, size);
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
  if (read_fixed_version_mapped(full_path, out, size)) return 0;

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
