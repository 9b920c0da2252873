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

#include "lha/byte_io.h"
#include "lha/member_header.h"
#include "lha/result.h"

namespace tolvex::lha {

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
