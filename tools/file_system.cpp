#include "tools/file_system.h"

#include <cstdio>
#include <cstring>

namespace tolvex::publish {

std::string join_path(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

bool read_opened_file(RegularFile& file, std::vector<std::uint8_t>& bytes, std::string& error, std::uint64_t max_size) {
  bytes.clear();
  if (file.size() > max_size) {
    error = "larger than " + std::to_string(max_size) + " bytes";
    return false;
  }
  bytes.resize(static_cast<std::size_t>(file.size()));
  std::size_t done = 0;
  for (;;) {
    // Fewer bytes than its size when it was opened, or a byte more, means it is being written.
    std::uint8_t beyond[1];
    std::uint8_t* into = done < bytes.size() ? bytes.data() + done : beyond;
    const std::size_t room = done < bytes.size() ? bytes.size() - done : sizeof beyond;
    std::size_t got = 0;
    if (!file.read(into, room, got)) {
      error = "cannot read: " + last_system_error();
      return false;
    }
    if (got == 0 && done == bytes.size()) break;
    if (got == 0 || into == beyond) {
      error = "changed while it was read";
      return false;
    }
    done += got;
  }
  return true;
}

bool read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                     std::uint64_t max_size, Links links) {
  RegularFile file;
  return file.open(path, links, error) == OpenOutcome::kOpened && read_opened_file(file, bytes, error, max_size);
}

bool remove_file(const std::string& path) { return std::remove(path.c_str()) == 0; }

ArchiveFileInput::ArchiveFileInput() : buffer_(new std::uint8_t[kBufferBytes]) {}

OpenOutcome ArchiveFileInput::open(const std::string& path, std::string& error) {
  position_ = end_ = 0;
  failed_ = false;
  return file_.open(path, Links::kRefuse, error);
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
