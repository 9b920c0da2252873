#include "tools/file_system.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace tolvex::publish {
namespace {

#ifdef _WIN32
using FileStatus = struct _stat64;
int status_of(const std::string& path, FileStatus& status) { return _stat64(path.c_str(), &status); }

struct FindCloser {
  void operator()(HANDLE handle) const { FindClose(handle); }
};
#else
using FileStatus = struct stat;
int status_of(const std::string& path, FileStatus& status) { return stat(path.c_str(), &status); }

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};
#endif

}  // namespace

std::string join_path(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

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
#ifdef _WIN32
  WIN32_FIND_DATAA found;
  HANDLE raw = FindFirstFileA(join_path(folder, "*").c_str(), &found);
  if (raw == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  std::unique_ptr<void, FindCloser> search(raw);
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(raw, &found));
#else
  std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return false;
  while (const dirent* entry = readdir(dir.get())) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
#endif
  std::sort(names.begin(), names.end());
  return true;
}

bool read_opened_file(RegularFile& file, std::vector<std::uint8_t>& bytes, std::string& error, std::uint64_t max_size) {
  bytes.clear();
  if (file.size() > max_size) {
    error = "larger than " + std::to_string(max_size) + " bytes";
    return false;
  }
  bytes.resize(static_cast<std::size_t>(file.size()));
  std::size_t done = 0;
  for (;;) {
    // Fewer bytes than its size when it was opened, or a byte more, means it is being written.
    std::uint8_t beyond[1];
    std::uint8_t* into = done < bytes.size() ? bytes.data() + done : beyond;
    const std::size_t room = done < bytes.size() ? bytes.size() - done : sizeof beyond;
    std::size_t got = 0;
    if (!file.read(into, room, got)) {
      error = "cannot read: " + last_system_error();
      return false;
    }
    if (got == 0 && done == bytes.size()) break;
    if (got == 0 || into == beyond) {
      error = "changed while it was read";
      return false;
    }
    done += got;
  }
  return true;
}

bool read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                     std::uint64_t max_size, Links links) {
  RegularFile file;
  return file.open(path, links, error) == OpenOutcome::opened && read_opened_file(file, bytes, error, max_size);
}

bool make_directory(const std::string& path) {
#ifdef _WIN32
  return _mkdir(path.c_str()) == 0;
#else
  return mkdir(path.c_str(), 0777) == 0;
#endif
}

bool remove_directory(const std::string& path) {
#ifdef _WIN32
  return _rmdir(path.c_str()) == 0;
#else
  return rmdir(path.c_str()) == 0;
#endif
}

bool remove_file(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool replace_file(const std::string& from, const std::string& to) {
#ifdef _WIN32
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

std::string last_system_error() {
#ifdef _WIN32
  DWORD code = GetLastError();
  if (code != 0) return "error " + std::to_string(code);
#endif
  return std::strerror(errno);
}

}  // namespace tolvex::publish
