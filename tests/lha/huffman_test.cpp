#include <gtest/gtest.h>

#include "lha/detail/bit_io.h"
#include "lha/detail/huffman.h"

namespace tolvex::lha {
namespace {

std::uint64_t kraft_units(const std::vector<std::uint8_t>& lengths) {
  std::uint64_t sum = 0;
  for (auto len : lengths) {
    if (len) sum += std::uint64_t{1} << (16 - len);
  }
  return sum;
}

// Encodes `symbols` with codes built from `frequencies` and decodes them again.
void expect_round_trip(const std::vector<std::uint32_t>& frequencies, const std::vector<int>& symbols) {
  auto lengths = huffman_code_lengths(frequencies, 16);
  for (auto len : lengths) ASSERT_LE(len, 16);
  ASSERT_EQ(kraft_units(lengths), 1u << 16) << "the code must fill the code space exactly";
  auto codes = canonical_codes(lengths);
  std::vector<std::uint8_t> stream;
  BitWriter writer(stream);
  for (int s : symbols) writer.put(lengths[s], codes[s]);
  writer.flush();

  HuffmanDecoder decoder;
  ASSERT_TRUE(decoder.build(lengths.data(), static_cast<int>(lengths.size())));
  MemoryInput input(stream);
  BitReader bits(input, stream.size());
  for (int s : symbols) ASSERT_EQ(decoder.decode(bits), s);
  EXPECT_FALSE(bits.overrun());
}

TEST(Huffman, SkewedFrequenciesAreLimitedTo16BitsAndStillDecode) {
  // Fibonacci weights would need codes of 30+ bits without the limit.
  std::vector<std::uint32_t> freq(510, 0);
  std::uint32_t a = 1, b = 1;
  std::vector<int> symbols;
  for (int s = 0; s < 32; ++s) {
    freq[s * 7] = a;
    symbols.push_back(s * 7);
    std::uint32_t next = a + b;
    a = b;
    b = next;
  }
  expect_round_trip(freq, symbols);
}

TEST(Huffman, EveryLiteralUsedAndTwoSymbolTables) {
  std::vector<std::uint32_t> all(510);
  std::vector<int> symbols;
  for (int s = 0; s < 510; ++s) {
    all[s] = 1 + (s % 13) * 50;
    symbols.push_back(s);
  }
  expect_round_trip(all, symbols);
  expect_round_trip({0, 5, 0, 9}, {1, 3, 3, 1});
}

TEST(Huffman, FewerThanTwoUsedSymbolsGiveNoLengths) {
  for (auto len : huffman_code_lengths({0, 0, 42, 0}, 16)) EXPECT_EQ(len, 0);
}

TEST(Huffman, DecoderRejectsOverfullAndTooLongLengthsAndUnusedCodes) {
  HuffmanDecoder decoder;
  std::uint8_t overfull[] = {1, 1, 1};
  EXPECT_FALSE(decoder.build(overfull, 3));
  std::uint8_t too_long[] = {1, 17};
  EXPECT_FALSE(decoder.build(too_long, 2));

  std::uint8_t sparse[] = {1, 0, 2};  // code "11" is unused
  ASSERT_TRUE(decoder.build(sparse, 3));
  std::vector<std::uint8_t> stream{0xFF, 0xFF, 0xFF, 0xFF};
  MemoryInput input(stream);
  BitReader bits(input, stream.size());
  EXPECT_EQ(decoder.decode(bits), HuffmanDecoder::kInvalidSymbol);
}

}  // namespace
}  // namespace tolvex::lha
