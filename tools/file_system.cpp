#include "tools/file_system.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/unique_file.h"

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
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.emplace_back(found.cFileName);
  } while (FindNextFileA(raw, &found));
#else
  std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
  if (!dir) return false;
  while (const dirent* entry = readdir(dir.get())) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    FileStatus status;
    if (status_of(join_path(folder, name), status) == 0 && (status.st_mode & S_IFMT) == S_IFDIR) continue;
    names.push_back(name);
  }
#endif
  std::sort(names.begin(), names.end());
  return true;
}

bool read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                     std::uint64_t max_size) {
  bytes.clear();
  UniqueFile file = open_file(path, "rb");
  if (!file) {
    error = "cannot open: " + last_system_error();
    return false;
  }
  std::uint8_t chunk[65536];
  for (;;) {
    std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    if (got == 0) break;
    if (bytes.size() + got > max_size) {
      error = "larger than " + std::to_string(max_size) + " bytes";
      return false;
    }
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  if (std::ferror(file.get())) {
    error = "cannot read: " + last_system_error();
    return false;
  }
  return true;
}

bool write_whole_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  UniqueFile file = open_file(path, "wb");
  if (!file) return false;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
  return std::fclose(file.release()) == 0;
}

bool create_new_file(const std::string& path, const std::vector<std::uint8_t>& bytes, bool owner_only) {
#ifdef _WIN32
  (void)owner_only;  // Windows files take their folder's access rights
  const int descriptor = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  auto write_part = [&](const std::uint8_t* data, std::size_t size) {
    return _write(descriptor, data, static_cast<unsigned>(size));
  };
  auto close_file = [&] { return _close(descriptor); };
#else
  const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, owner_only ? 0600 : 0644);
  auto write_part = [&](const std::uint8_t* data, std::size_t size) { return write(descriptor, data, size); };
  auto close_file = [&] { return close(descriptor); };
#endif
  if (descriptor < 0) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto written = write_part(bytes.data() + done, bytes.size() - done);
    if (written <= 0) break;
    done += static_cast<std::size_t>(written);
  }
  const bool closed = close_file() == 0;
  if (done == bytes.size() && closed) return true;
  const int saved = errno;
  std::remove(path.c_str());
  errno = saved;
  return false;
}

bool modification_time(const std::string& path, std::int64_t& seconds) {
  FileStatus status;
  if (status_of(path, status) != 0) return false;
  seconds = static_cast<std::int64_t>(status.st_mtime);
  return true;
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
