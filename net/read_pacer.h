#pragma once
// Chooses how much one read of a response body asks the platform for. A synchronous read waits
// until its whole buffer is filled, so a large read from a slow server would hold back every
// progress report and abort check until it is full; asking only for what has already arrived
// costs a fast line most of its speed in small reads. The pacer asks for what the line delivered
// in about kPaceMilliseconds at the rate of the last read (the wait for its data included): at
// least what has already arrived, at most the block. Until a rate is known it asks for what has
// arrived.
#include <cstddef>
#include <cstdint>

namespace tolvex {

class ReadPacer {
 public:
  static constexpr std::uint64_t kPaceMilliseconds = 50;

  // The body's first read starts at `now_ms` (before waiting for its data).
  void start(std::uint64_t now_ms);
  // Bytes to ask for: `available` is what the platform says has arrived (0: unknown).
  std::size_t request(std::size_t block, std::size_t available) const;
  // A read that returned `bytes` ended at `now_ms`.
  void received(std::size_t bytes, std::uint64_t now_ms);

 private:
  std::uint64_t last_end_ms_ = 0;
  std::uint64_t paced_bytes_ = 0;  // what the last read's rate delivers in kPaceMilliseconds; 0: unknown
};

}  // namespace tolvex
