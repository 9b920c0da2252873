// Any bytes as an archive: walk every member and decode it. Nothing may read or write out of
// bounds, allocate without bound or hang; a member reported good must have its declared size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lha/archive_reader.h"

namespace {

class CountingSink final : public tolvex::lha::OutputSink {
 public:
  bool write(const std::uint8_t*, std::size_t size) override {
    count += size;
    return true;
  }
  std::uint64_t count = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvex::lha;
  MemoryInput input(data, size);
  ArchiveReader reader(input);
  MemberHeader header;
  for (int members = 0; members < 64; ++members) {
    bool at_end = false;
    if (!reader.next(header, at_end).ok() || at_end) break;
    CountingSink sink;
    Result result = reader.extract(sink);
    if (result.ok() && !header.is_directory && sink.count != header.original_size) std::abort();
  }
  return 0;
}
