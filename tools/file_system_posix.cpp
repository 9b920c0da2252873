// The publisher's file-system operations over POSIX calls (the native build): folders, and
// files opened and created never through a link.
#include "tools/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tolvex::publish {
namespace {

using FileStatus = struct stat;
int status_of(const std::string& path, FileStatus& status) { return stat(path.c_str(), &status); }

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

EntryKind kind_of(mode_t mode) {
  switch (mode & S_IFMT) {
    case S_IFREG:
      return EntryKind::kRegular;
    case S_IFDIR:
      return EntryKind::kFolder;
    case S_IFLNK:
      return EntryKind::kSymbolicLink;
    case S_IFIFO:
      return EntryKind::kFifo;
    case S_IFCHR:
    case S_IFBLK:
      return EntryKind::kDevice;
    case S_IFSOCK:
      return EntryKind::kSocket;
    default:
      return EntryKind::kOther;
  }
}

std::string not_regular(EntryKind kind) { return std::string("not a regular file (") + entry_kind_text(kind) + ")"; }

std::string system_reason(const char* doing) { return std::string(doing) + ": " + std::strerror(errno); }

// A descriptor that is closed when the owner goes away.
class OwnedDescriptor {
 public:
  explicit OwnedDescriptor(int descriptor) : descriptor_(descriptor) {}
  ~OwnedDescriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  OwnedDescriptor(const OwnedDescriptor&) = delete;
  OwnedDescriptor& operator=(const OwnedDescriptor&) = delete;

  int get() const { return descriptor_; }
  // Hands the descriptor over to the caller, who closes it.
  int release() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return descriptor;
  }
  // Closes now; false when close failed (the data may not have been written).
  bool close() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return descriptor < 0 || ::close(descriptor) == 0;
  }

 private:
  int descriptor_;
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

EntryKind entry_kind(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0)
    return errno == ENOENT || errno == ENOTDIR ? EntryKind::kMissing : EntryKind::kOther;
  return kind_of(status.st_mode);
}

OpenOutcome RegularFile::open(const std::string& path, Links links, std::string& error) {
  close();
  // What the name is, before opening it: a device or FIFO is never opened at all.
  struct stat status {};
  const int looked = links == Links::kFollow ? stat(path.c_str(), &status) : lstat(path.c_str(), &status);
  if (looked != 0) {
    error = system_reason("cannot open");
    return errno == ENOENT || errno == ENOTDIR ? OpenOutcome::kMissing : OpenOutcome::kFailed;
  }
  if (!S_ISREG(status.st_mode)) {
    error = not_regular(kind_of(status.st_mode));
    return OpenOutcome::kNotRegular;
  }
  // O_NONBLOCK: should the name have become a FIFO since, opening it does not wait for a writer.
  int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  if (links == Links::kRefuse) flags |= O_NOFOLLOW;
  OwnedDescriptor opened(::open(path.c_str(), flags));
  if (opened.get() < 0) {
    const bool link = errno == ELOOP && links == Links::kRefuse;
    error = link ? not_regular(EntryKind::kSymbolicLink) : system_reason("cannot open");
    return link ? OpenOutcome::kNotRegular : errno == ENOENT ? OpenOutcome::kMissing : OpenOutcome::kFailed;
  }
  if (fstat(opened.get(), &status) != 0) {
    error = system_reason("cannot take its status");
    return OpenOutcome::kFailed;
  }
  if (!S_ISREG(status.st_mode)) {
    error = not_regular(kind_of(status.st_mode));
    return OpenOutcome::kNotRegular;
  }
  const int file_flags = fcntl(opened.get(), F_GETFL);
  if (file_flags >= 0) fcntl(opened.get(), F_SETFL, file_flags & ~O_NONBLOCK);
  size_ = static_cast<std::uint64_t>(status.st_size);
  modified_ = static_cast<std::int64_t>(status.st_mtime);
  descriptor_ = opened.release();
  return OpenOutcome::kOpened;
}

bool RegularFile::read(std::uint8_t* out, std::size_t size, std::size_t& got) {
  got = 0;
  if (descriptor_ < 0) return false;
  for (;;) {
    const ssize_t count = ::read(descriptor_, out, size);
    if (count >= 0) {
      got = static_cast<std::size_t>(count);
      return true;
    }
    if (errno != EINTR) return false;
  }
}

void RegularFile::close() {
  if (descriptor_ >= 0) ::close(descriptor_);
  descriptor_ = -1;
}

bool create_new_file(const std::string& path, const std::vector<std::uint8_t>& bytes, bool owner_only,
                     std::string& error) {
  // O_EXCL fails on any existing name, a link included (dangling or not); O_NOFOLLOW says so twice.
  OwnedDescriptor file(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, owner_only ? 0600 : 0644));
  if (file.get() < 0) {
    error = errno == EEXIST ? std::string("already exists") : system_reason("cannot create");
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = ::write(file.get(), bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    done += static_cast<std::size_t>(written);
  }
  if (done == bytes.size() && file.close()) return true;
  error = system_reason("cannot write");
  file.close();
  unlink(path.c_str());
  return false;
}

bool remove_file_or_link(const std::string& path, std::string& error) {
  const EntryKind kind = entry_kind(path);
  if (kind == EntryKind::kMissing) return true;
  if (kind != EntryKind::kRegular && kind != EntryKind::kSymbolicLink) {
    error = std::string("cannot remove ") + entry_kind_text(kind) + " there";
    return false;
  }
  if (unlink(path.c_str()) == 0 || errno == ENOENT) return true;
  error = system_reason("cannot remove");
  return false;
}

}  // namespace tolvex::publish
