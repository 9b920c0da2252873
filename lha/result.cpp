#include "lha/result.h"

namespace tolvex::lha {

const char* status_name(Status status) {
  switch (status) {
    case Status::kOk:
      return "ok";
    case Status::kTruncated:
      return "truncated archive";
    case Status::kBadHeader:
      return "bad header";
    case Status::kHeaderChecksum:
      return "header checksum mismatch";
    case Status::kUnsupportedMethod:
      return "unsupported method";
    case Status::kCorruptData:
      return "corrupt data";
    case Status::kCrcMismatch:
      return "CRC mismatch";
    case Status::kTooLarge:
      return "too large";
    case Status::kBadArgument:
      return "bad argument";
    case Status::kIoError:
      return "I/O error";
  }
  return "unknown";
}

}  // namespace tolvex::lha
