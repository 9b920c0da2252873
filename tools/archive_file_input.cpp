#include "tools/archive_file_input.h"

#include <cstring>

namespace tolvex::publish {

ArchiveFileInput::ArchiveFileInput() : buffer_(new std::uint8_t[kBufferBytes]) {}

OpenOutcome ArchiveFileInput::open(const std::string& path, std::string& error) {
  position_ = end_ = 0;
  failed_ = false;
  return file_.open(path, Links::refuse, error);
}

std::size_t ArchiveFileInput::read(std::uint8_t* out, std::size_t size) {
  std::size_t done = 0;
  while (done < size && !failed_) {
    if (position_ == end_) {
      std::size_t got = 0;
      if (!file_.read(buffer_.get(), kBufferBytes, got)) failed_ = true;
      position_ = 0;
      end_ = got;
      if (got == 0) break;
    }
    const std::size_t part = end_ - position_ < size - done ? end_ - position_ : size - done;
    std::memcpy(out + done, buffer_.get() + position_, part);
    position_ += part;
    done += part;
  }
  return done;
}

}  // namespace tolvex::publish
