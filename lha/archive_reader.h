#pragma once
// Walks the members of an LHA archive in order and decodes the ones asked for.
//
//   FileInput input(path);
//   ArchiveReader reader(input);
//   MemberHeader header;
//   bool at_end = false;
//   while (reader.next(header, at_end).ok() && !at_end) reader.extract(sink);
//
// A member not extracted is skipped by the next call to next().
#include <cstdint>
#include <string>

#include "lha/byte_io.h"
#include "lha/result.h"

namespace tolvex::lha {

// One member's header, levels 0 to 3, with what its extended headers said.
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

// True when extract() can decode members stored with `method` ("-lh0-", "-lh5-", ...).
bool is_supported_method(const char* method);

class ArchiveReader {
 public:
  explicit ArchiveReader(InputSource& source) : source_(source) {}

  // Reads the next member's header (skipping the data of the previous one).
  Result next(MemberHeader& header, bool& at_end);
  // Decodes the current member into `sink` and checks its size and CRC-16. Directory
  // entries succeed with no output. Unsupported methods fail with Status::kUnsupportedMethod.
  Result extract(OutputSink& sink);

 private:
  Result skip_rest_of_member();

  InputSource& source_;
  MemberHeader current_;
  bool have_member_ = false;
  std::uint64_t data_left_ = 0;  // bytes of the current member's data not yet taken from source_
  bool failed_ = false;          // after an error the position in the source is unknown
};

// Decodes a single member's data held in memory (used by tests and the fuzzers).
Result decode_member_data(const MemberHeader& header, InputSource& data, OutputSink& sink,
                          std::uint64_t* bytes_pulled = nullptr);

}  // namespace tolvex::lha
