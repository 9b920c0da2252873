// The publisher's folder operations over the C runtime and Win32 calls (the Windows build), on
// code page 932 paths.
#include <windows.h>
#include <direct.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "tools/file_system.h"

namespace tolvex::publish {
namespace {

using FileStatus = struct _stat64;
int status_of(const std::string& path, FileStatus& status) { return _stat64(path.c_str(), &status); }

struct FindCloser {
  void operator()(HANDLE handle) const { FindClose(handle); }
};

}  // namespace

bool is_directory(const std::string& path) {
  FileStatus status;
  return status_of(path, status) == 0 && (status.st_mode & S_IFMT) == S_IFDIR;
}

bool file_exists(const std::string& path) {
  FileStatus status;
  return status_of(path, status) == 0;
}

bool list_files(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  WIN32_FIND_DATAA found;
  HANDLE raw = FindFirstFileA(join_path(folder, "*").c_str(), &found);
  if (raw == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  std::unique_ptr<void, FindCloser> search(raw);
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(raw, &found));
  std::sort(names.begin(), names.end());
  return true;
}

bool make_directory(const std::string& path) { return _mkdir(path.c_str()) == 0; }

bool remove_directory(const std::string& path) { return _rmdir(path.c_str()) == 0; }

bool replace_file(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string last_system_error() {
  const DWORD code = GetLastError();
  if (code != 0) return "error " + std::to_string(code);
  return std::strerror(errno);
}

}  // namespace tolvex::publish
