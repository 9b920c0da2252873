#include "net/http_body.h"

#include <cstring>
#include <limits>
#include <new>

#include "text/cp932.h"

namespace tolvex {
namespace {

// Large enough that a 64 KiB block of slices costs one write of the platform.
constexpr std::size_t kFileBufferBytes = 64 * 1024;

constexpr char kDownloadingSuffix[] = "をダウンロードしています。";

}  // namespace

std::int32_t parse_announced_length(const char* header_text) {
  const char* p = header_text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > limit) value = limit;  // clamp; the digits after it change nothing
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

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

bool ArchiveFile::create(const char* name) {
  (void)close();  // a file left open by an earlier failure is abandoned
  file_ = std::fopen(name, "wb");
  if (file_ == nullptr) return false;
  std::setvbuf(file_, nullptr, _IOFBF, kFileBufferBytes);
  return true;
}

bool ArchiveFile::write(const char* bytes, std::size_t length) {
  if (file_ == nullptr) return false;
  return std::fwrite(bytes, 1, length, file_) == length;
}

bool ArchiveFile::close() {
  if (file_ == nullptr) return true;
  const bool flushed = std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  return flushed && closed;
}

const char kListProgressText[] = "アップデート情報を取得しています。";

void format_download_progress_text(const char* archive_name, char* destination, std::size_t size) {
  const std::size_t suffix_length = sizeof kDownloadingSuffix - 1;
  if (size <= suffix_length) {
    copy_cp932_text(destination, size, kDownloadingSuffix);
    return;
  }
  copy_cp932_text(destination, size - suffix_length, archive_name);
  append_cp932_text(destination, size, kDownloadingSuffix);
}

}  // namespace tolvex
