#pragma once
// The body of a transfer's response, from the platform's reads to where it is kept: the length
// it announces, the pace of the reads, the slices between progress reports, the list text and
// the archive file it is stored in, and the progress texts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>

#include "base/errors.h"
#include "base/window_surfaces.h"

namespace tolvex {

// The length a response announces in its Content-Length header: reads the header's text as a decimal integer from its
// leading digits, after optional white space and sign, as the C library's atol does; 0 when it holds no digits. Values
// beyond the 32-bit range are clamped to it.
std::int32_t parse_announced_length(const char* header_text);

// Chooses how much one read of a response body asks the platform for. A synchronous read waits
// until its whole buffer is filled, so a large read from a slow server would hold back every
// progress report and abort check until it is full; asking only for what has already arrived
// costs a fast line most of its speed in small reads. The pacer asks for what the line delivered
// in about kPaceMilliseconds at the rate of the last read (the wait for its data included): at
// least what has already arrived, at most the block. Until a rate is known it asks for what has
// arrived.
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

// Reads a response body in large blocks and hands it on in report slices of at most 1023
// bytes. Every slice ends where a 1023-byte read would have ended (at a multiple of 1023 bytes
// from the body's start) or where a block ends early, so the user sees a progress report and an
// abort check after every 1023 bytes at most, while the platform is asked for 64 KiB at a time.

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

// Collects the update list's body into one NUL-terminated text. Each chunk read contributes its
// bytes up to its first NUL byte. The text starts at the announced size and grows when the body
// is longer (or announced no size); the body may not reach a fixed limit, every byte counted.

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

// The local file an archive is downloaded into: created (or truncated) under its bare name,
// written without newline translation, and closed on every path.
class ArchiveFile {
 public:
  ArchiveFile() = default;
  ~ArchiveFile() { (void)close(); }  // only failure paths get here with a file still open
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  // Opens `name` (relative to the current directory) with fopen mode "wb". False when it
  // cannot be created.
  [[nodiscard]] bool create(const char* name);
  // Writes all `length` bytes; false on a failed or short write.
  [[nodiscard]] bool write(const char* bytes, std::size_t length);
  // Flushes and closes; false when the last buffered bytes could not be written. Closing a
  // file that is not open succeeds.
  [[nodiscard]] bool close();

 private:
  std::FILE* file_ = nullptr;
};

// The progress texts that the transfers pass to the callback (code page 932): the one shown while
// the update list is fetched, and each archive's.
extern const char kListProgressText[];

// "<archive>をダウンロードしています。" into `destination` (`size` bytes, NUL-terminated; a
// name too long for it is cut on a character boundary before the fixed part).
void format_download_progress_text(const char* archive_name, char* destination, std::size_t size = kStatusTextSize);

}  // namespace tolvex
