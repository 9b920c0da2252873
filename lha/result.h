#pragma once
// The outcome of every codec operation: a status to branch on and a message for people.
#include <string>

namespace tolvex::lha {

enum class Status {
  ok,
  truncated,           // the archive ends inside a header or a member's data
  bad_header,          // a header field is impossible (sizes, lengths, level)
  header_checksum,     // a header's own checksum or CRC does not match
  unsupported_method,  // a method this codec does not decode (-lh1-, -lzs-, ...)
  corrupt_data,        // invalid Huffman tables, distances before the start, ...
  crc_mismatch,        // the decoded data does not match the stored CRC-16
  too_large,           // a size beyond what the codec accepts
  bad_argument,        // the caller passed something unusable (e.g. an empty member name)
  io_error,            // reading the source or writing the sink failed
};

struct Result {
  Status status = Status::ok;
  std::string message;

  bool ok() const { return status == Status::ok; }
  static Result success() { return {}; }
  static Result failure(Status status, std::string message) { return {status, std::move(message)}; }
};

// A short English name of a status, for reports.
const char* status_name(Status status);

}  // namespace tolvex::lha
