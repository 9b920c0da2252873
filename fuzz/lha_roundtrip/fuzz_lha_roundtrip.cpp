// Any bytes through the -lh5- writer and back through the reader must come out unchanged.
// The first byte picks a small block size now and then, to exercise block boundaries and the
// tables of tiny blocks. Each block costs three tables to build at each end, which dwarfs the
// coding of its few symbols, so a small block grows with the input to keep at most 16 blocks:
// inputs under 16 bytes still get blocks of any small size down to one symbol, and longer ones
// still cross many block boundaries, with matches reaching back over them.
// The last byte picks how deep a match search may walk (1 to 32): shallow searches stop early
// and report fewer matches, which the choice of items must still handle.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "lha/archive_reader.h"
#include "lha/archive_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tolvex::lha;
  Lh5Options options;
  constexpr std::size_t kMostSmallBlocks = 16;
  if (size > 0 && data[0] < 16)
    options.block_symbols = std::max<std::size_t>(1 + data[0] * 3u, size / kMostSmallBlocks + 1);
  if (size > 0) options.max_depth = 1 + (data[size - 1] & 31);
  std::vector<ArchiveMember> members{{"fuzz.bin", std::vector<std::uint8_t>(data, data + size), 0, Method::kLh5}};
  std::vector<std::uint8_t> archive;
  if (!write_archive(members, archive, options).ok()) std::abort();

  MemoryInput input(archive);
  ArchiveReader reader(input);
  MemberHeader header;
  bool at_end = false;
  if (!reader.next(header, at_end).ok() || at_end) std::abort();
  VectorSink sink;
  if (!reader.extract(sink).ok()) std::abort();
  if (sink.bytes != members[0].data) std::abort();
  if (!reader.next(header, at_end).ok() || !at_end) std::abort();
  return 0;
}
