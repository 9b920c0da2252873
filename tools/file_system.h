#pragma once
// The few file-system operations the publisher needs, on narrow byte-string paths (code page 932
// on Windows, as the platform's ...A functions take them; bytes as given on other systems).
// Paths are joined with '/', which Windows accepts too, so no path is ever scanned for '\\'
// (a trail byte of a double-byte character can be 0x5C).
//
// Files are opened never through a link. A release folder or a published folder may hold a
// symbolic link (whose target the maker never meant to publish or overwrite), a FIFO (which
// would keep a read waiting for ever), a device, a socket or a folder under a file's name: the
// publisher reads regular files only, refusing anything else by what it is before a byte is
// read, and creates its files only where nothing exists yet. The check is made again on the
// opened file itself, so a name swapped for something else in between is refused too.
//
// On Windows a reparse point (a symbolic link or a junction) counts as a link, and files are
// opened and created without following one.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lha/byte_io.h"

namespace tolvex::publish {

enum class EntryKind { kMissing, kRegular, kFolder, kSymbolicLink, kFifo, kDevice, kSocket, kOther };

// What the folder entry `path` itself is, without following a link.
EntryKind entry_kind(const std::string& path);

// The kind in words, for messages: "a symbolic link", "a folder", "a FIFO", ...
inline const char* entry_kind_text(EntryKind kind) {
  switch (kind) {
    case EntryKind::kMissing:
      return "missing";
    case EntryKind::kRegular:
      return "a regular file";
    case EntryKind::kFolder:
      return "a folder";
    case EntryKind::kSymbolicLink:
      return "a symbolic link";
    case EntryKind::kFifo:
      return "a FIFO";
    case EntryKind::kDevice:
      return "a device";
    case EntryKind::kSocket:
      return "a socket";
    case EntryKind::kOther:
      break;
  }
  return "not a kind of file the publisher reads";
}

// Whether a link at the path's last component may be followed. Only a suite's installed files
// are read through links (the updater follows them too); everything the publisher reads to
// publish, verify or sign must be a regular file under its own name.
enum class Links { kRefuse, kFollow };

enum class OpenOutcome { kOpened, kMissing, kNotRegular, kFailed };

// One regular file opened for reading; closed when the owner goes away.
class RegularFile {
 public:
  RegularFile() = default;
  ~RegularFile() { close(); }
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  // Opens `path`. Anything but `kOpened` comes with `error`: "not a regular file (a FIFO)",
  // "cannot open: <the system's reason>".
  OpenOutcome open(const std::string& path, Links links, std::string& error);

  // Reads up to `size` bytes into `out`; `got` is 0 at the end. False when reading failed.
  bool read(std::uint8_t* out, std::size_t size, std::size_t& got);

  // The size in bytes and the modification time (seconds since 1970 UTC) at opening.
  std::uint64_t size() const { return size_; }
  std::int64_t modified() const { return modified_; }

 private:
  void close();

#ifdef _WIN32
  void* handle_ = nullptr;  // a HANDLE; null when closed
#else
  int descriptor_ = -1;
#endif
  std::uint64_t size_ = 0;
  std::int64_t modified_ = 0;
};

// Writes `bytes` into a file that must not exist yet, not even as a dangling link; with
// `owner_only` the file is readable and writable by its owner alone (for a private key). A
// partly written file is removed again. On failure `error` says why.
bool create_new_file(const std::string& path, const std::vector<std::uint8_t>& bytes, bool owner_only,
                     std::string& error);

// Removes `path` when it is a regular file or a link (the link itself, never its target); true
// when nothing is left there. False with `error` for a folder or any other kind of entry, which
// is left alone.
bool remove_file_or_link(const std::string& path, std::string& error);

// `folder` + "/" + `name` (no separator added when `folder` already ends in '/').
std::string join_path(const std::string& folder, const std::string& name);

bool is_directory(const std::string& path);
bool file_exists(const std::string& path);

// The names of every entry in `folder` but "." and "..", whatever each is (subfolders, links and
// the like included, for the caller to judge), sorted bytewise.
bool list_files(const std::string& folder, std::vector<std::string>& names);

// The most the publisher reads of one release file, and so the largest member it writes.
constexpr std::uint64_t kMaxReleaseFileBytes = 1ull << 30;

// Reads the whole of an opened file, of at most `max_size` bytes. On failure `error` says why
// (a file whose size changes while it is read fails too).
bool read_opened_file(RegularFile& file, std::vector<std::uint8_t>& bytes, std::string& error,
                      std::uint64_t max_size = kMaxReleaseFileBytes);
// Opens the regular file `path` (see RegularFile) and reads the whole of it.
bool read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                     std::uint64_t max_size = kMaxReleaseFileBytes, Links links = Links::kRefuse);

// Creates one folder (its parent must exist). True when it was created.
bool make_directory(const std::string& path);
bool remove_directory(const std::string& path);
bool remove_file(const std::string& path);
// Renames `from` to `to`, replacing `to` when it exists.
bool replace_file(const std::string& from, const std::string& to);

// The reason of the last failed operation (errno or the platform's error), for messages.
std::string last_system_error();

// An archive in a published folder as the LHA reader's input: a regular file opened without
// following a link (see RegularFile), read through a buffer of its own.
class ArchiveFileInput final : public lha::InputSource {
 public:
  ArchiveFileInput();
  ArchiveFileInput(const ArchiveFileInput&) = delete;
  ArchiveFileInput& operator=(const ArchiveFileInput&) = delete;

  // Opens the archive at `path`; anything but `kOpened` comes with `error`.
  OpenOutcome open(const std::string& path, std::string& error);

  std::size_t read(std::uint8_t* out, std::size_t size) override;
  bool failed() const override { return failed_; }

 private:
  static constexpr std::size_t kBufferBytes = 64 * 1024;
  RegularFile file_;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
  bool failed_ = false;
};

}  // namespace tolvex::publish
