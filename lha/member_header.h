#pragma once
// One member header of an LHA archive, levels 0 to 3, with its extended headers.
#include <cstdint>
#include <string>

#include "lha/byte_io.h"
#include "lha/result.h"

namespace tolvex::lha {

struct MemberHeader {
  char method[6] = {};  // e.g. "-lh5-", NUL-terminated
  int level = 0;
  std::uint64_t packed_size = 0;  // bytes of member data after the header
  std::uint64_t original_size = 0;
  std::uint16_t crc = 0;           // CRC-16 of the original data
  bool has_crc = true;             // false only for old level-0 headers without one
  std::uint32_t timestamp = 0;     // see timestamp_is_unix
  bool timestamp_is_unix = false;  // true: seconds since 1970 (UTC); false: MS-DOS local date/time
  std::uint8_t attributes = 0;     // MS-DOS attribute bits
  std::string stored_path;         // directory (separators as '\\') and name, bytes as stored
  std::string file_name;           // safe bare file name, empty when the stored one is unusable
  bool is_directory = false;       // -lhd- (a directory or a symbolic link) or an empty -lh0- member
                                   // whose name ends in a separator: carries no data
};

// Reads the next header from `source`. At the end of the archive (a zero byte or the end of
// the data) returns ok with `at_end` set. Extended headers are bounded: a header and its
// extensions never take more than 1 MiB.
Result read_member_header(InputSource& source, MemberHeader& header, bool& at_end);

}  // namespace tolvex::lha
