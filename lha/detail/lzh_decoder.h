#pragma once
// Decoder for the static-Huffman LZSS methods -lh5-, -lh6- and -lh7-, which differ only in
// the dictionary size (8, 32, 64 KiB) and the width of the position table's count field.
#include <cstdint>

#include "lha/byte_io.h"
#include "lha/detail/bit_io.h"
#include "lha/result.h"

namespace tolvex::lha {

struct LzhParameters {
  int dictionary_bits;      // 13, 15, 16
  int position_count_bits;  // 4, 5, 5
};

// The parameters of "-lh5-", "-lh6-", "-lh7-"; false for other methods.
bool lzh_parameters_for(const char* method, LzhParameters& out);

// Decodes exactly `original_size` bytes from `bits` into `sink`, in pieces of at most the
// dictionary size. Fails on invalid tables, distances before the start of the data, and data
// that ends too early. The caller checks the CRC through the sink.
Result decode_lzh(const LzhParameters& parameters, BitReader& bits, std::uint64_t original_size, OutputSink& sink);

}  // namespace tolvex::lha
