#pragma once
// Reads a response body in large blocks and hands it on in report slices of at most 1023
// bytes. Every slice ends where a 1023-byte read would have ended (at a multiple of 1023 bytes
// from the body's start) or where a block ends early, so the user sees a progress report and an
// abort check after every 1023 bytes at most, while the platform is asked for 64 KiB at a time.
#include <cstddef>
#include <cstdint>
#include <functional>

#include "base/progress_callback.h"

namespace tolvex {

// Largest slice handed on between two progress reports.
constexpr std::size_t kReportSliceBytes = 1023;
// Bytes asked of the platform per read: a whole number of slices.
constexpr std::size_t kBodyBlockBytes = 64 * kReportSliceBytes;

// Where the body's bytes come from.
class BodySource {
 public:
  virtual ~BodySource() = default;
  // Reads up to `size` bytes; `received` 0 means the body is complete. False on failure.
  [[nodiscard]] virtual bool read(char* buffer, std::size_t size, std::size_t& received) = 0;
};

enum class BodyEnd {
  kComplete,    // the source reported the end of the body
  kReadFailed,  // a read failed
  kStopped,     // the slice handler asked to stop
};

// Called with each slice in order; returns false to stop right after that slice.
using SliceHandler = std::function<bool(const char* slice, std::size_t length)>;

[[nodiscard]] BodyEnd read_body_in_slices(BodySource& source, const SliceHandler& handle_slice);

// How a transfer's body read with progress reports ended.
enum class TransferEnd {
  kComplete,     // the whole body, as long as announced when a length was announced
  kStoreFailed,  // storing a slice failed
  kAborted,      // the progress callback asked to abort
  kBroken,       // a read failed, or the body ended short of its announced length
};

// Reads the body in slices: each is stored, counted and then reported to `callback` (when not
// null) with `text` and the announced length (`announced`, or 0 when it is -1: none).
[[nodiscard]] TransferEnd read_body_with_progress(BodySource& source, std::int32_t announced, const char* text,
                                                  ProgressCallback callback, const SliceHandler& store);

}  // namespace tolvex
