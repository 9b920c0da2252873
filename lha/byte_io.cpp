#include "lha/byte_io.h"

#include <cstring>

namespace tolvex::lha {

std::size_t MemoryInput::read(std::uint8_t* out, std::size_t size) {
  std::size_t available = size_ - position_;
  std::size_t count = size < available ? size : available;
  if (count > 0) std::memcpy(out, data_ + position_, count);
  position_ += count;
  return count;
}

namespace {
// Archives are read front to back in large runs: a few large reads of the platform rather than
// one per 4 KiB.
constexpr std::size_t kFileReadBufferBytes = 64 * 1024;
}  // namespace

FileInput::FileInput(const std::string& path) : file_(open_file(path, "rb")) {
  // Given its own buffer: some C libraries ignore the size when they are to allocate it.
  if (file_) {
    read_buffer_.reset(new char[kFileReadBufferBytes]);
    std::setvbuf(file_.get(), read_buffer_.get(), _IOFBF, kFileReadBufferBytes);
  }
}

std::size_t FileInput::read(std::uint8_t* out, std::size_t size) {
  if (!file_) return 0;
  return std::fread(out, 1, size, file_.get());
}

bool FileInput::failed() const { return !file_ || std::ferror(file_.get()) != 0; }

bool VectorSink::write(const std::uint8_t* data, std::size_t size) {
  bytes.insert(bytes.end(), data, data + size);
  return true;
}

}  // namespace tolvex::lha
