#include "net/archive_file.h"

namespace tolvex {
namespace {
// Large enough that a 64 KiB block of slices costs one write of the platform.
constexpr std::size_t kFileBufferBytes = 64 * 1024;
}  // namespace

bool ArchiveFile::create(const char* name) {
  (void)close();  // a file left open by an earlier failure is abandoned
  file_ = std::fopen(name, "wb");
  if (file_ == nullptr) return false;
  std::setvbuf(file_, nullptr, _IOFBF, kFileBufferBytes);
  return true;
}

bool ArchiveFile::write(const char* bytes, std::size_t length) {
  if (file_ == nullptr) return false;
  return std::fwrite(bytes, 1, length, file_) == length;
}

bool ArchiveFile::close() {
  if (file_ == nullptr) return true;
  const bool flushed = std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return flushed && closed;
}

}  // namespace tolvex
