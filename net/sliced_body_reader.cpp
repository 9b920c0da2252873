#include "net/sliced_body_reader.h"

#include <memory>

namespace tolvex {

BodyEnd read_body_in_slices(BodySource& source, const SliceHandler& handle_slice) {
  std::unique_ptr<char[]> block(new char[kBodyBlockBytes]);
  std::size_t offset_in_slice = 0;  // body bytes since the last multiple of 1023
  for (;;) {
    std::size_t received = 0;
    if (!source.read(block.get(), kBodyBlockBytes, received)) return BodyEnd::kReadFailed;
    if (received == 0) return BodyEnd::kComplete;
    for (std::size_t at = 0; at < received;) {
      std::size_t length = kReportSliceBytes - offset_in_slice;
      if (length > received - at) length = received - at;
      offset_in_slice = (offset_in_slice + length) % kReportSliceBytes;
      if (!handle_slice(block.get() + at, length)) return BodyEnd::kStopped;
      at += length;
    }
  }
}

}  // namespace tolvex
