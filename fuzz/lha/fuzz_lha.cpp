// Any bytes as an archive: walk every member and decode it. Nothing may read or write out of
// bounds, allocate without bound or hang; a member reported good must have its declared size,
// and a member whose output was refused must not be reported good.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lha/archive_reader.h"

namespace {

// A few bytes of tables can declare and produce gigabytes; decoding them in full costs seconds
// per input and reaches no code that the first windows did not, so the sink refuses output past
// the largest dictionary (-lh7-, 64 KiB). The decoder hands over a window at a time, so it still
// decodes one window beyond this and every method's window wraps before the refusal.
constexpr std::uint64_t kOutputLimit = 64 * 1024;

class BoundedSink final : public tolvex::lha::OutputSink {
 public:
  bool write(const std::uint8_t*, std::size_t size) override {
    if (size > kOutputLimit - count) {
      refused = true;
      return false;
    }
    count += size;
    return true;
  }
  std::uint64_t count = 0;
  bool refused = false;
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
    BoundedSink sink;
    Result result = reader.extract(sink);
    if (result.ok() && sink.refused) std::abort();
    if (result.ok() && !header.is_directory && sink.count != header.original_size) std::abort();
  }
  return 0;
}
