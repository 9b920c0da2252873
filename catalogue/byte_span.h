#pragma once
// A bounded, read-only view of bytes with little-endian reads that fail instead of running
// past the end: the only way the PE reader touches file bytes.
#include <cstddef>
#include <cstdint>

namespace tolvex {

class ByteSpan {
 public:
  ByteSpan() = default;
  ByteSpan(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t size() const { return size_; }
  const std::uint8_t* data() const { return data_; }

  // True when [offset, offset + length) lies inside the view (no overflow).
  bool contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  bool read_u16(std::uint64_t offset, std::uint16_t& value) const {
    if (!contains(offset, 2)) return false;
    value = static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8);
    return true;
  }
  bool read_u32(std::uint64_t offset, std::uint32_t& value) const {
    if (!contains(offset, 4)) return false;
    value = static_cast<std::uint32_t>(data_[offset]) | static_cast<std::uint32_t>(data_[offset + 1]) << 8 |
            static_cast<std::uint32_t>(data_[offset + 2]) << 16 | static_cast<std::uint32_t>(data_[offset + 3]) << 24;
    return true;
  }
  // The part [offset, offset + length), or an empty view when it does not lie inside.
  bool sub_span(std::uint64_t offset, std::uint64_t length, ByteSpan& part) const {
    if (!contains(offset, length)) return false;
    part = ByteSpan(data_ + offset, static_cast<std::size_t>(length));
    return true;
  }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace tolvex
