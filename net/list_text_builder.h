#pragma once
// Collects the update list's body into one NUL-terminated text. Each chunk read contributes its
// bytes up to its first NUL byte. The text starts at the announced size and grows when the body
// is longer (or announced no size); the body may not reach a fixed limit, every byte counted.
#include <cstddef>
#include <memory>

namespace tolvex {

// Largest list text kept, terminator included. A list is a few kilobytes; this only stops a
// broken or hostile server from filling memory.
constexpr std::size_t kMaxUpdateListBytes = 1024 * 1024;

class ListTextBuilder {
 public:
  explicit ListTextBuilder(std::size_t limit = kMaxUpdateListBytes) : limit_(limit) {}

  // Allocates room for an announced body of `announced` bytes plus the terminator, zeroed.
  // False when that exceeds the limit or cannot be allocated.
  [[nodiscard]] bool reserve(std::size_t announced);

  // Appends the chunk's bytes up to `length` or its first NUL, whichever comes first, growing
  // the text when needed. False when the bytes received so far, this chunk's included (NULs and
  // what follows them too), and the terminator would exceed the limit, or the text cannot grow.
  [[nodiscard]] bool append_chunk(const char* chunk, std::size_t length);

  // The text so far (never null after a successful reserve).
  const char* text() const { return buffer_ ? buffer_.get() : ""; }
  std::size_t length() const { return length_; }

  // Hands the text over; the builder is empty afterwards.
  std::unique_ptr<char[]> release();

 private:
  bool grow_to(std::size_t capacity);

  std::size_t limit_;
  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;  // bytes allocated, terminator included
  std::size_t length_ = 0;    // bytes of text before the terminator
  std::size_t received_ = 0;  // bytes handed in, kept or not
};

}  // namespace tolvex
