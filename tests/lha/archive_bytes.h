#pragma once
// Helpers for tests that build, patch and read archives in memory.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lha/archive_reader.h"
#include "lha/archive_writer.h"

namespace tolvex::lha::testing {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes_of(const std::string& text);
// Deterministic pseudo-random bytes.
Bytes random_bytes(std::size_t size, std::uint32_t seed);
// Text-like bytes: words from a small vocabulary, so they compress.
Bytes text_bytes(std::size_t size, std::uint32_t seed);

struct DecodedMember {
  MemberHeader header;
  Result result;
  Bytes data;
};

// Reads every member of `archive`, decoding each; `archive_result` is the first error that
// stopped the walk (ok when the archive ended normally).
std::vector<DecodedMember> decode_all(const Bytes& archive, Result* archive_result = nullptr);

// An archive holding one member, written with our writer.
Bytes single_member_archive(const std::string& name, const Bytes& data, Method method = Method::lh5);

// Lets `patch` change the first member's level-2 header (as written by our writer), then
// recomputes the header CRC so that only the patched fields are wrong.
void patch_level2_header(Bytes& archive, const std::function<void(Bytes& archive)>& patch);

void put_le32(Bytes& bytes, std::size_t at, std::uint32_t value);

// A level-0 member (header and data) with any method and any stored name, written by hand:
// our writer would not write hostile names or methods it cannot decode.
Bytes level0_member(const char* method, const std::string& name, const Bytes& data, std::uint16_t crc);

}  // namespace tolvex::lha::testing
