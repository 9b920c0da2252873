// Any bytes as an archive: walk every member and decode it. Nothing may read or write out of
// bounds, allocate without bound or hang; a member reported good must have its declared size,
// and a member whose output was refused must not be reported good.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lha/archive_reader.h"
#include "lha/detail/lzh_decoder.h"

namespace {

// A few bytes of tables can declare and produce gigabytes; decoding them in full costs seconds
// per input and reaches no code that the first windows did not, so the sink refuses output past
// one window of the member's method (8, 32 or 64 KiB; 16 KiB, one copy chunk, for stored data).
// The decoder hands over a window at a time, so it still decodes a second window before the
// refusal: the window wraps and matches reach back across the wrap, for every method.
std::uint64_t output_limit(const tolvex::lha::MemberHeader& header) {
  tolvex::lha::LzhParameters parameters;
  if (tolvex::lha::lzh_parameters_for(header.method, parameters)) return std::uint64_t{1} << parameters.dictionary_bits;
  return 16 * 1024;
}

class BoundedSink final : public tolvex::lha::OutputSink {
 public:
  explicit BoundedSink(std::uint64_t limit) : limit(limit) {}
  bool write(const std::uint8_t*, std::size_t size) override {
    if (size > limit - count) {
      refused = true;
      return false;
    }
    count += size;
    return true;
  }
  std::uint64_t limit;
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
    BoundedSink sink(output_limit(header));
    Result result = reader.extract(sink);
    if (result.ok() && sink.refused) std::abort();
    if (result.ok() && !header.is_directory && sink.count != header.original_size) std::abort();
  }
  return 0;
}
