#include "net/list_text_builder.h"

#include <cstring>
#include <new>

namespace tolvex {

bool ListTextBuilder::reserve(std::size_t announced) {
  if (announced >= limit_) return false;
  return grow_to(announced + 1);
}

bool ListTextBuilder::append_chunk(const char* chunk, std::size_t length) {
  const void* nul = std::memchr(chunk, '\0', length);
  const std::size_t piece = nul != nullptr ? static_cast<const char*>(nul) - chunk : length;
  // The limit bounds every byte received, not only those kept: a body of NUL-led chunks is no
  // smaller for keeping nothing.
  if (length > limit_ - 1 - received_) return false;
  received_ += length;
  const std::size_t needed = length_ + piece + 1;
  if (needed > capacity_) {
    std::size_t capacity = capacity_ < 4096 ? 4096 : capacity_;
    while (capacity < needed) capacity *= 2;
    if (capacity > limit_) capacity = limit_;
    if (!grow_to(capacity)) return false;
  }
  std::memcpy(buffer_.get() + length_, chunk, piece);
  length_ += piece;
  buffer_[length_] = '\0';
  return true;
}

std::unique_ptr<char[]> ListTextBuilder::release() {
  if (!buffer_) grow_to(1);
  capacity_ = 0;
  length_ = 0;
  received_ = 0;
  return std::move(buffer_);
}

bool ListTextBuilder::grow_to(std::size_t capacity) {
  std::unique_ptr<char[]> larger(new (std::nothrow) char[capacity]);
  if (!larger) return false;
  std::memset(larger.get(), 0, capacity);
  if (buffer_) std::memcpy(larger.get(), buffer_.get(), length_);
  buffer_ = std::move(larger);
  capacity_ = capacity;
  return true;
}

}  // namespace tolvex
