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

TransferEnd read_body_with_progress(BodySource& source, std::int32_t announced, const char* text,
                                    ProgressCallback callback, const SliceHandler& store) {
  const std::uint32_t total = announced > 0 ? static_cast<std::uint32_t>(announced) : 0;
  std::uint32_t received = 0;
  TransferEnd stopped = TransferEnd::kComplete;
  const BodyEnd end = read_body_in_slices(source, [&](const char* slice, std::size_t length) {
    if (!store(slice, length)) {
      stopped = TransferEnd::kStoreFailed;
      return false;
    }
    received += static_cast<std::uint32_t>(length);
    if (callback != nullptr && callback(kTransferProgress, received, total, text) != 0) {
      stopped = TransferEnd::kAborted;
      return false;
    }
    return true;
  });
  if (end == BodyEnd::kStopped) return stopped;
  // A connection cut before the announced end is not the whole body.
  if (end == BodyEnd::kReadFailed || received < total) return TransferEnd::kBroken;
  return TransferEnd::kComplete;
}

}  // namespace tolvex
