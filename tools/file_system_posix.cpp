// The publisher's folder operations over POSIX calls (the native build).
#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "tools/file_system.h"

namespace tolvex::publish {
namespace {

using FileStatus = struct stat;
int status_of(const std::string& path, FileStatus& status) { return stat(path.c_str(), &status); }

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
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
  std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return false;
  while (const dirent* entry = readdir(dir.get())) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return true;
}

bool make_directory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

bool remove_directory(const std::string& path) { return rmdir(path.c_str()) == 0; }

bool replace_file(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

std::string last_system_error() { return std::strerror(errno); }

}  // namespace tolvex::publish
