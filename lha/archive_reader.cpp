#include "lha/archive_reader.h"

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "lha/detail/bit_io.h"
#include "lha/detail/lzh_decoder.h"
#include "lha/detail/member_header.h"

namespace tolvex::lha {
namespace {

// Passes bytes on while counting them and keeping their CRC-16. Nothing beyond the size the
// header declares ever reaches the inner sink, whatever a decoder produces: a member can never
// write more than its header promised the caller.
class CheckingSink final : public OutputSink {
 public:
  CheckingSink(OutputSink& inner, std::uint64_t limit) : inner_(inner), limit_(limit) {}
  bool write(const std::uint8_t* data, std::size_t size) override {
    if (size > limit_ - count_) {
      overflowed_ = true;
      return false;
    }
    crc_.update(data, size);
    count_ += size;
    return inner_.write(data, size);
  }
  std::uint16_t crc() const { return crc_.value(); }
  std::uint64_t count() const { return count_; }
  bool overflowed() const { return overflowed_; }

 private:
  OutputSink& inner_;
  std::uint64_t limit_;
  Crc16 crc_;
  std::uint64_t count_ = 0;
  bool overflowed_ = false;
};

// -lh0-: the data is stored as is; a stored member's packed size must equal its original size.
Result copy_stored(BitReader& bits, std::uint64_t packed_size, std::uint64_t original_size, OutputSink& sink) {
  if (packed_size != original_size) return Result::failure(Status::kBadHeader, "stored member with differing sizes");
  std::array<std::uint8_t, 16384> chunk;
  std::uint64_t left = original_size;
  while (left > 0) {
    std::size_t count = left < chunk.size() ? static_cast<std::size_t>(left) : chunk.size();
    bits.read_bytes(chunk.data(), count);
    if (bits.overrun()) return Result::failure(Status::kTruncated, "stored data ends early");
    if (!sink.write(chunk.data(), count)) return Result::failure(Status::kIoError, "cannot write output");
    left -= count;
  }
  return Result::success();
}

}  // namespace

bool is_supported_method(const char* method) {
  LzhParameters ignored;
  return std::memcmp(method, "-lh0-", 5) == 0 || std::memcmp(method, "-lhd-", 5) == 0 ||
         lzh_parameters_for(method, ignored);
}

Result decode_member_data(const MemberHeader& header, InputSource& data, OutputSink& sink,
                          std::uint64_t* bytes_pulled) {
  if (bytes_pulled) *bytes_pulled = 0;
  if (header.is_directory) return Result::success();
  CheckingSink checked(sink, header.original_size);
  BitReader bits(data, header.packed_size);
  Result result;
  LzhParameters parameters;
  if (std::memcmp(header.method, "-lh0-", 5) == 0) {
    result = copy_stored(bits, header.packed_size, header.original_size, checked);
  } else if (lzh_parameters_for(header.method, parameters)) {
    result = decode_lzh(parameters, bits, header.original_size, checked);
  } else {
    return Result::failure(Status::kUnsupportedMethod, std::string("unsupported method ") + header.method);
  }
  if (bytes_pulled) *bytes_pulled = bits.bytes_pulled();
  if (checked.overflowed()) return Result::failure(Status::kCorruptData, "data runs past the size in the header");
  if (!result.ok()) {
    if (bits.source_failed()) return Result::failure(Status::kIoError, "cannot read the archive");
    return result;
  }
  if (checked.count() != header.original_size)
    return Result::failure(Status::kCorruptData, "decoded size differs from the header");
  if (header.has_crc && checked.crc() != header.crc)
    return Result::failure(Status::kCrcMismatch, "CRC mismatch in " + header.stored_path);
  return Result::success();
}

Result ArchiveReader::skip_rest_of_member() {
  std::uint8_t scratch[4096];
  while (data_left_ > 0) {
    std::size_t want = data_left_ < sizeof scratch ? static_cast<std::size_t>(data_left_) : sizeof scratch;
    std::size_t got = source_.read(scratch, want);
    if (got == 0) {
      failed_ = true;
      return Result::failure(source_.failed() ? Status::kIoError : Status::kTruncated,
                             "archive ends inside member data");
    }
    data_left_ -= got;
  }
  return Result::success();
}

Result ArchiveReader::next(MemberHeader& header, bool& at_end) {
  at_end = false;
  if (failed_) return Result::failure(Status::kBadArgument, "the archive cannot be read further");
  if (have_member_) {
    have_member_ = false;
    Result skipped = skip_rest_of_member();
    if (!skipped.ok()) return skipped;
  }
  Result result = read_member_header(source_, current_, at_end);
  if (!result.ok()) {
    failed_ = true;
    return result;
  }
  if (at_end) return result;
  have_member_ = true;
  data_left_ = current_.packed_size;
  header = current_;
  return result;
}

Result ArchiveReader::extract(OutputSink& sink) {
  if (!have_member_) return Result::failure(Status::kBadArgument, "no current member");
  if (!is_supported_method(current_.method))
    return Result::failure(Status::kUnsupportedMethod, std::string("unsupported method ") + current_.method);
  std::uint64_t pulled = 0;
  Result result = decode_member_data(current_, source_, sink, &pulled);
  data_left_ -= pulled < data_left_ ? pulled : data_left_;
  if (pulled > 0 && !result.ok() && result.status == Status::kTruncated) failed_ = true;
  return result;
}

}  // namespace tolvex::lha
