#pragma once
// An archive in a published folder as the LHA reader's input: a regular file opened without
// following a link (see RegularFile), read through a buffer of its own.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "lha/byte_io.h"
#include "tools/no_follow_file.h"

namespace tolvex::publish {

class ArchiveFileInput final : public lha::InputSource {
 public:
  ArchiveFileInput();
  ArchiveFileInput(const ArchiveFileInput&) = delete;
  ArchiveFileInput& operator=(const ArchiveFileInput&) = delete;

  // Opens the archive at `path`; anything but `opened` comes with `error`.
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
