#include "lha/detail/lzh_decoder.h"

#include <array>
#include <cstring>
#include <memory>

#include "lha/detail/huffman.h"

namespace tolvex::lha {
namespace {

constexpr int kLiteralLengthSymbols = 510;  // 256 literals + match lengths 3..256
constexpr int kCodeLengthSymbols = 19;      // lengths 1..16 plus three zero-run codes
constexpr int kMinMatch = 3;
constexpr int kMaxPositionSymbols = 17;
static_assert(2 * HuffmanDecoder::kMaxCodeLength + kMaxPositionSymbols - 2 <= BitReader::kFilledBits,
              "one fill must cover a whole symbol");

// Reads the lengths of a small table (the code-length table or the position table): a count,
// then 3-bit lengths where 7 continues in unary. The code-length table has a 2-bit zero run
// after its third entry.
bool read_small_table(BitReader& bits, int count_bits, int symbol_count, int zero_run_after, HuffmanDecoder& table) {
  int count = static_cast<int>(bits.read(count_bits));
  if (count == 0) {
    int symbol = static_cast<int>(bits.read(count_bits));
    if (symbol >= symbol_count) return false;
    table.set_single(symbol);
    return true;
  }
  if (count > symbol_count) return false;
  std::array<std::uint8_t, kCodeLengthSymbols> lengths{};
  int i = 0;
  while (i < count) {
    int length = static_cast<int>(bits.read(3));
    if (length == 7) {
      while (bits.read(1) == 1) {
        if (++length > HuffmanDecoder::kMaxCodeLength) return false;
      }
    }
    lengths[i++] = static_cast<std::uint8_t>(length);
    if (i == zero_run_after) {
      int zeros = static_cast<int>(bits.read(2));
      if (i + zeros > symbol_count) return false;
      i += zeros;  // already zero
    }
    if (bits.overrun()) return false;
  }
  // Entries from `count` on are zero: building over the first `count` gives the same code.
  return table.build(lengths.data(), count);
}

bool read_literal_table(BitReader& bits, const HuffmanDecoder& code_lengths, HuffmanDecoder& table) {
  int count = static_cast<int>(bits.read(9));
  if (count == 0) {
    int symbol = static_cast<int>(bits.read(9));
    if (symbol >= kLiteralLengthSymbols) return false;
    table.set_single(symbol);
    return true;
  }
  if (count > kLiteralLengthSymbols) return false;
  std::array<std::uint8_t, kLiteralLengthSymbols> lengths{};
  int i = 0;
  while (i < count) {
    int code = code_lengths.decode(bits);
    if (code < 0) return false;
    if (code <= 2) {
      int zeros = code == 0 ? 1 : code == 1 ? static_cast<int>(bits.read(4)) + 3 : static_cast<int>(bits.read(9)) + 20;
      if (i + zeros > kLiteralLengthSymbols) return false;
      i += zeros;
    } else {
      lengths[i++] = static_cast<std::uint8_t>(code - 2);
    }
    if (bits.overrun()) return false;
  }
  // Entries from `count` on are zero: building over the first `count` gives the same code.
  return table.build(lengths.data(), count);
}

// The output ring. It holds at least twice the dictionary, so that a match copied eight bytes at
// a time may write up to seven bytes past its end: those slots hold bytes more than a dictionary
// back, which no match can reach. It never needs to be larger than the member (rounded up to a
// power of two), since one of at most `size` bytes never wraps before the last flush. It starts
// zeroed, so that a copy's over-read meets no uninitialised byte; a match is checked to reach no
// further back than the bytes already written, and a flush hands over only written bytes.
class Ring {
 public:
  Ring(int dictionary_bits, std::uint64_t member_size) {
    std::size_t length = 1;
    while (length < (std::size_t{1} << (dictionary_bits + 1)) && length < member_size) length <<= 1;
    data_.reset(new std::uint8_t[length]());
    size_ = length;
  }
  std::uint8_t* data() const { return data_.get(); }
  std::size_t size() const { return size_; }

 private:
  std::unique_ptr<std::uint8_t[]> data_;
  std::size_t size_;
};

constexpr std::size_t kCopyStep = 8;

// Hands the ring's bytes from output position `from` up to `to` (at most one ring apart, not
// wrapping past its end) to `sink`.
bool write_out(OutputSink& sink, const std::uint8_t* ring, std::size_t mask, std::uint64_t from, std::uint64_t to) {
  if (to == from) return true;
  return sink.write(ring + static_cast<std::size_t>(from & mask), static_cast<std::size_t>(to - from));
}

}  // namespace

bool lzh_parameters_for(const char* method, LzhParameters& out) {
  if (std::memcmp(method, "-lh5-", 5) == 0) out = {13, 4};
  else if (std::memcmp(method, "-lh6-", 5) == 0) out = {15, 5};
  else if (std::memcmp(method, "-lh7-", 5) == 0) out = {16, 5};
  else return false;
  return true;
}

Result decode_lzh(const LzhParameters& parameters, BitReader& bits, std::uint64_t original_size, OutputSink& sink) {
  const int position_symbols = parameters.dictionary_bits + 1;
  if (position_symbols > kMaxPositionSymbols) return Result::failure(Status::kBadArgument, "dictionary too large");
  HuffmanDecoder code_lengths, literals, positions;
  const auto corrupt = [](const char* what) { return Result::failure(Status::kCorruptData, what); };
  const auto truncated = [] { return Result::failure(Status::kTruncated, "compressed data ends early"); };
  const auto cannot_write = [] { return Result::failure(Status::kIoError, "cannot write output"); };

  // The hot state lives in locals, out of reach of the stores into the ring: the bit buffer,
  // the output position and the last flushed position.
  const Ring ring_owner(parameters.dictionary_bits, original_size);
  std::uint8_t* const ring = ring_owner.data();
  const std::size_t ring_size = ring_owner.size();
  const std::size_t mask = ring_size - 1;
  std::uint64_t position = 0;
  std::uint64_t flushed = 0;
  BitReader::Bits in = bits.lend();

  std::uint32_t block_remaining = 0;
  while (position < original_size) {
    if (block_remaining == 0) {
      bits.take_back(in);
      block_remaining = bits.read(16);
      if (!read_small_table(bits, 5, kCodeLengthSymbols, 3, code_lengths))
        return bits.overrun() ? truncated() : corrupt("invalid code-length table");
      if (!read_literal_table(bits, code_lengths, literals))
        return bits.overrun() ? truncated() : corrupt("invalid literal/length table");
      if (!read_small_table(bits, parameters.position_count_bits, position_symbols, -1, positions))
        return bits.overrun() ? truncated() : corrupt("invalid position table");
      if (block_remaining == 0) return corrupt("empty block");
      in = bits.lend();
    }
    --block_remaining;
    // One fill covers the symbol: a literal/length code, a position code and its extra bits
    // take at most 16 + 16 + 15 bits.
    bits.fill(in);
    const int symbol = literals.decode(in);
    if (symbol < 0) return corrupt("invalid literal/length code");
    if (symbol < 256) {
      ring[position & mask] = static_cast<std::uint8_t>(symbol);
      ++position;
      if ((position & mask) == 0) {
        if (!write_out(sink, ring, mask, flushed, position)) return cannot_write();
        flushed = position;
      }
    } else {
      const std::size_t length = static_cast<std::size_t>(symbol - 256 + kMinMatch);
      const int position_code = positions.decode(in);
      if (position_code < 0) return corrupt("invalid position code");
      std::uint64_t distance = position_code <= 1
                                   ? static_cast<std::uint64_t>(position_code)
                                   : (std::uint64_t{1} << (position_code - 1)) + in.read(position_code - 1);
      distance += 1;
      if (distance > position) return corrupt("match distance before the start of the data");
      if (length > original_size - position) return corrupt("match runs past the end of the member");
      const std::size_t from = static_cast<std::size_t>((position - distance) & mask);
      const std::size_t to = static_cast<std::size_t>(position & mask);
      if (to + length + kCopyStep <= ring_size && from + length + kCopyStep <= ring_size) {
        // The common case: neither side wraps, and there is room for the last eight-byte step.
        std::uint8_t* out = ring + to;
        const std::uint8_t* source = ring + from;
        if (distance >= kCopyStep) {
          // Each step reads bytes written at least eight bytes earlier: the byte-wise result.
          for (std::size_t k = 0; k < length; k += kCopyStep) std::memcpy(out + k, source + k, kCopyStep);
        } else {
          for (std::size_t k = 0; k < length; ++k) out[k] = source[k];
        }
        position += length;
      } else {
        for (std::size_t k = 0; k < length; ++k) {
          ring[position & mask] = ring[(position - distance) & mask];
          ++position;
          if ((position & mask) == 0) {
            if (!write_out(sink, ring, mask, flushed, position)) return cannot_write();
            flushed = position;
          }
        }
      }
    }
    if (bits.overrun(in)) return truncated();
  }
  bits.take_back(in);
  if (!write_out(sink, ring, mask, flushed, position)) return cannot_write();
  return Result::success();
}

}  // namespace tolvex::lha
