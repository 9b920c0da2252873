#include "net/read_pacer.h"

namespace tolvex {

void ReadPacer::start(std::uint64_t now_ms) {
  last_end_ms_ = now_ms;
  paced_bytes_ = 0;
}

std::size_t ReadPacer::request(std::size_t block, std::size_t available) const {
  std::uint64_t wanted = paced_bytes_;
  if (wanted == 0) wanted = available != 0 ? available : block;  // no rate yet: as before
  if (wanted < available) wanted = available;
  return wanted < block ? static_cast<std::size_t>(wanted) : block;
}

void ReadPacer::received(std::size_t bytes, std::uint64_t now_ms) {
  // A read inside one clock tick counts as one millisecond.
  const std::uint64_t elapsed = now_ms > last_end_ms_ ? now_ms - last_end_ms_ : 1;
  last_end_ms_ = now_ms;
  paced_bytes_ = static_cast<std::uint64_t>(bytes) * kPaceMilliseconds / elapsed;
  if (paced_bytes_ == 0) paced_bytes_ = 1;  // a known rate, however slow
}

}  // namespace tolvex
