#include "lha/result.h"

namespace tolvex::lha {

const char* status_name(Status status) {
  switch (status) {
    case Status::ok:
      return "ok";
    case Status::truncated:
      return "truncated archive";
    case Status::bad_header:
      return "bad header";
    case Status::header_checksum:
      return "header checksum mismatch";
    case Status::unsupported_method:
      return "unsupported method";
    case Status::corrupt_data:
      return "corrupt data";
    case Status::crc_mismatch:
      return "CRC mismatch";
    case Status::too_large:
      return "too large";
    case Status::bad_argument:
      return "bad argument";
    case Status::io_error:
      return "I/O error";
  }
  return "unknown";
}

}  // namespace tolvex::lha
