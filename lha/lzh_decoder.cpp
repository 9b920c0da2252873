#include "lha/lzh_decoder.h"

#include <array>
#include <cstring>
#include <memory>

#include "lha/huffman_decoder.h"

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

class Window {
 public:
  // The ring holds at least twice the dictionary, so that a match copied eight bytes at a time
  // may write up to seven bytes past its end: those slots hold bytes more than a dictionary
  // back, which no match can reach. It never needs to be larger than the member (rounded up to
  // a power of two), since one of at most `size` bytes never wraps before the last flush. It
  // starts zeroed, so that a copy's over-read meets no uninitialised byte; a match is checked to
  // reach no further back than the bytes already written, and a flush hands over only written
  // bytes.
  Window(int dictionary_bits, std::uint64_t size, OutputSink& sink) : sink_(sink) {
    const int ring_bits = dictionary_bits + 1;
    std::size_t length = 1;
    while (length < (std::size_t{1} << ring_bits) && length < size) length <<= 1;
    data_.reset(new std::uint8_t[length]());
    size_ = length;
    mask_ = length - 1;
  }

  bool put(std::uint8_t byte) {
    data_[position_++ & mask_] = byte;
    if ((position_ & mask_) == 0) return flush();
    return true;
  }
  // Copies `length` bytes from `distance` bytes back; the caller checked the distance.
  bool copy(std::size_t distance, std::size_t length) {
    const std::size_t from = (position_ - distance) & mask_;
    const std::size_t to = position_ & mask_;
    // The common case: neither side wraps, with room for the last eight-byte step.
    if (to + length + kCopyStep <= size_ && from + length + kCopyStep <= size_) {
      std::uint8_t* out = &data_[to];
      const std::uint8_t* in = &data_[from];
      if (distance >= kCopyStep) {
        // Each step reads bytes written at least eight bytes earlier: the byte-wise result.
        for (std::size_t k = 0; k < length; k += kCopyStep) std::memcpy(out + k, in + k, kCopyStep);
      } else {
        for (std::size_t k = 0; k < length; ++k) out[k] = in[k];
      }
      position_ += length;
      return true;
    }
    for (std::size_t k = 0; k < length; ++k) {
      if (!put(data_[(position_ - distance) & mask_])) return false;
    }
    return true;
  }
  std::uint64_t position() const { return position_; }
  bool flush() {
    std::size_t pending = static_cast<std::size_t>(position_ - flushed_);
    if (pending == 0) return true;
    std::size_t start = static_cast<std::size_t>(flushed_ & mask_);
    flushed_ = position_;
    return sink_.write(&data_[start], pending);
  }

 private:
  static constexpr std::size_t kCopyStep = 8;

  std::unique_ptr<std::uint8_t[]> data_;
  std::size_t size_;
  std::size_t mask_;
  OutputSink& sink_;
  std::uint64_t position_ = 0;
  std::uint64_t flushed_ = 0;
};

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
  if (position_symbols > kMaxPositionSymbols) return Result::failure(Status::bad_argument, "dictionary too large");
  HuffmanDecoder code_lengths, literals, positions;
  Window window(parameters.dictionary_bits, original_size, sink);
  const auto corrupt = [](const char* what) { return Result::failure(Status::corrupt_data, what); };
  const auto truncated = [] { return Result::failure(Status::truncated, "compressed data ends early"); };

  std::uint32_t block_remaining = 0;
  while (window.position() < original_size) {
    if (block_remaining == 0) {
      block_remaining = bits.read(16);
      if (!read_small_table(bits, 5, kCodeLengthSymbols, 3, code_lengths))
        return bits.overrun() ? truncated() : corrupt("invalid code-length table");
      if (!read_literal_table(bits, code_lengths, literals))
        return bits.overrun() ? truncated() : corrupt("invalid literal/length table");
      if (!read_small_table(bits, parameters.position_count_bits, position_symbols, -1, positions))
        return bits.overrun() ? truncated() : corrupt("invalid position table");
      if (block_remaining == 0) return corrupt("empty block");
    }
    --block_remaining;
    // One fill covers the symbol: a literal/length code, a position code and its extra bits
    // take at most 16 + 16 + 15 bits.
    bits.fill();
    int symbol = literals.decode_filled(bits);
    if (symbol < 0) return corrupt("invalid literal/length code");
    if (symbol < 256) {
      if (!window.put(static_cast<std::uint8_t>(symbol)))
        return Result::failure(Status::io_error, "cannot write output");
    } else {
      std::uint64_t length = static_cast<std::uint64_t>(symbol - 256 + kMinMatch);
      int position_code = positions.decode_filled(bits);
      if (position_code < 0) return corrupt("invalid position code");
      std::uint64_t distance = position_code <= 1
                                   ? static_cast<std::uint64_t>(position_code)
                                   : (std::uint64_t{1} << (position_code - 1)) + bits.read_filled(position_code - 1);
      distance += 1;
      if (distance > window.position()) return corrupt("match distance before the start of the data");
      std::uint64_t left = original_size - window.position();
      if (length > left) return corrupt("match runs past the end of the member");
      if (!window.copy(static_cast<std::size_t>(distance), static_cast<std::size_t>(length)))
        return Result::failure(Status::io_error, "cannot write output");
    }
    if (bits.overrun()) return truncated();
  }
  if (!window.flush()) return Result::failure(Status::io_error, "cannot write output");
  return Result::success();
}

}  // namespace tolvex::lha
