#pragma once
// Where archive bytes come from and where decoded bytes go. Sources are read strictly in order,
// so an archive can be decoded from a file without holding it in memory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/unique_file.h"

namespace tolvex::lha {

class InputSource {
 public:
  virtual ~InputSource() = default;
  // Reads up to `size` bytes; returns how many were read (0 at the end or on failure).
  virtual std::size_t read(std::uint8_t* out, std::size_t size) = 0;
  // True once a read has failed for a reason other than the end of the data.
  virtual bool failed() const { return false; }
};

class OutputSink {
 public:
  virtual ~OutputSink() = default;
  // Takes `size` decoded bytes; false when they could not be stored.
  virtual bool write(const std::uint8_t* data, std::size_t size) = 0;
};

// Bytes held by the caller; they must outlive the source.
class MemoryInput final : public InputSource {
 public:
  MemoryInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  explicit MemoryInput(const std::vector<std::uint8_t>& bytes) : MemoryInput(bytes.data(), bytes.size()) {}
  std::size_t read(std::uint8_t* out, std::size_t size) override;

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Owns a FILE* opened for reading (narrow path: code page 932 on Windows).
class FileInput final : public InputSource {
 public:
  explicit FileInput(const std::string& path);
  FileInput(const FileInput&) = delete;
  FileInput& operator=(const FileInput&) = delete;

  bool is_open() const { return file_ != nullptr; }
  std::size_t read(std::uint8_t* out, std::size_t size) override;
  bool failed() const override;

 private:
  std::unique_ptr<char[]> read_buffer_;  // the stream's buffer: declared first, so freed after it closes
  UniqueFile file_;
};

// Collects everything in memory (tests, small members).
class VectorSink final : public OutputSink {
 public:
  bool write(const std::uint8_t* data, std::size_t size) override;
  std::vector<std::uint8_t> bytes;
};

// Accepts and forgets everything (listing, testing archives).
class NullSink final : public OutputSink {
 public:
  bool write(const std::uint8_t*, std::size_t) override { return true; }
};

// Little-endian fields, as LHA headers and Windows PE files hold them: the one place such bytes
// are put together or taken apart.
inline std::uint16_t load_le16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}
inline std::uint32_t load_le32(const std::uint8_t* bytes) {
  return load_le16(bytes) | static_cast<std::uint32_t>(load_le16(bytes + 2)) << 16;
}
inline std::uint64_t load_le64(const std::uint8_t* bytes) {
  return load_le32(bytes) | static_cast<std::uint64_t>(load_le32(bytes + 4)) << 32;
}
inline void store_le16(std::uint8_t* bytes, std::uint16_t value) {
  bytes[0] = static_cast<std::uint8_t>(value);
  bytes[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void store_le32(std::uint8_t* bytes, std::uint32_t value) {
  store_le16(bytes, static_cast<std::uint16_t>(value));
  store_le16(bytes + 2, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace tolvex::lha
