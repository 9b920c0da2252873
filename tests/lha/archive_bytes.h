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
Bytes single_member_archive(const std::string& name, const Bytes& data, Method method = Method::kLh5);

// Lets `patch` change the first member's level-2 header (as written by our writer), then
// recomputes the header CRC so that only the patched fields are wrong.
void patch_level2_header(Bytes& archive, const std::function<void(Bytes& archive)>& patch);

void put_le32(Bytes& bytes, std::size_t at, std::uint32_t value);

// A level-0 member (header and data) with any method and any stored name, written by hand:
// our writer would not write hostile names or methods it cannot decode.
Bytes level0_member(const char* method, const std::string& name, const Bytes& data, std::uint16_t crc);
// The same with an old header that has no room for a CRC: its size is 20 plus the name length,
// or 21 with `stray_byte`.
Bytes level0_member_without_crc(const char* method, const std::string& name, const Bytes& data,
                                bool stray_byte = false);
// Sets a hand-written level-0 member's original size and mends its header checksum.
void set_level0_original_size(Bytes& member, std::uint32_t size);

struct Extension {
  std::uint8_t type;
  Bytes data;
};
// A level-2 member written by hand with the OS id `os` and the extended headers given (the name
// extension first); `length_short_by` makes the header-length field smaller than the header,
// as LHA for OS-9/68k writes it.
Bytes level2_member(const char* method, const std::string& name, const Bytes& data, std::uint16_t crc, char os,
                    const std::vector<Extension>& more = {}, int length_short_by = 0);

// An -lh5- stream that decodes to one 'A' followed by `blocks` blocks of 65,535 matches of 256
// bytes at distance 1: each block header of 52 bits yields 16,776,960 bytes.
Bytes lh5_bomb_stream(int blocks);

}  // namespace tolvex::lha::testing
