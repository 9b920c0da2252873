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

FileInput::FileInput(const std::string& path) : file_(open_file(path, "rb")) {}

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
