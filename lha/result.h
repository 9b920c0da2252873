#pragma once
// The outcome of every codec operation: a status to branch on and a message for people.
#include <string>

namespace tolvex::lha {

enum class Status {
  kOk,
  kTruncated,          // the archive ends inside a header or a member's data
  kBadHeader,          // a header field is impossible (sizes, lengths, level)
  kHeaderChecksum,     // a header's own checksum or CRC does not match
  kUnsupportedMethod,  // a method this codec does not decode (-lh1-, -lzs-, ...)
  kCorruptData,        // invalid Huffman tables, distances before the start, ...
  kCrcMismatch,        // the decoded data does not match the stored CRC-16
  kTooLarge,           // a size beyond what the codec accepts
  kBadArgument,        // the caller passed something unusable (e.g. an empty member name)
  kIoError,            // reading the source or writing the sink failed
};

struct Result {
  Status status = Status::kOk;
  std::string message;

  bool ok() const { return status == Status::kOk; }
  static Result success() { return {}; }
  static Result failure(Status status, std::string message) { return {status, std::move(message)}; }
};

// A short English name of a status, for reports.
const char* status_name(Status status);

}  // namespace tolvex::lha
