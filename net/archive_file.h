#pragma once
// The local file an archive is downloaded into: created (or truncated) under its bare name,
// written without newline translation, and closed on every path.
#include <cstddef>
#include <cstdio>

namespace tolvex {

class ArchiveFile {
 public:
  ArchiveFile() = default;
  ~ArchiveFile() { (void)close(); }  // only failure paths get here with a file still open
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  // Opens `name` (relative to the current directory) with fopen mode "wb". False when it
  // cannot be created.
  [[nodiscard]] bool create(const char* name);
  // Writes all `length` bytes; false on a failed or short write.
  [[nodiscard]] bool write(const char* bytes, std::size_t length);
  // Flushes and closes; false when the last buffered bytes could not be written. Closing a
  // file that is not open succeeds.
  [[nodiscard]] bool close();

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace tolvex
