#pragma once
// Opening files never through a link. A release folder or a published folder may hold a
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
#include <string>
#include <vector>

namespace tolvex::publish {

enum class EntryKind { missing, regular, folder, symbolic_link, fifo, device, socket, other };

// What the folder entry `path` itself is, without following a link.
EntryKind entry_kind(const std::string& path);

// The kind in words, for messages: "a symbolic link", "a folder", "a FIFO", ...
inline const char* entry_kind_text(EntryKind kind) {
  switch (kind) {
    case EntryKind::missing:
      return "missing";
    case EntryKind::regular:
      return "a regular file";
    case EntryKind::folder:
      return "a folder";
    case EntryKind::symbolic_link:
      return "a symbolic link";
    case EntryKind::fifo:
      return "a FIFO";
    case EntryKind::device:
      return "a device";
    case EntryKind::socket:
      return "a socket";
    case EntryKind::other:
      break;
  }
  return "not a kind of file the publisher reads";
}

// Whether a link at the path's last component may be followed. Only a suite's installed files
// are read through links (the updater follows them too); everything the publisher reads to
// publish, verify or sign must be a regular file under its own name.
enum class Links { refuse, follow };

enum class OpenOutcome { opened, missing, not_regular, failed };

// One regular file opened for reading; closed when the owner goes away.
class RegularFile {
 public:
  RegularFile() = default;
  ~RegularFile() { close(); }
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  // Opens `path`. Anything but `opened` comes with `error`: "not a regular file (a FIFO)",
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

}  // namespace tolvex::publish
