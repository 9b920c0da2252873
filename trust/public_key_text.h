#pragma once
// The public key's text form: the 64-byte point X || Y of an uncompressed ECDSA P-256 public key
// (big-endian, 32 bytes each) as 128 lowercase hex digits on one line, ended by LF.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvex::trust {

using PublicKey = std::array<std::uint8_t, 64>;

std::string format_public_key(const PublicKey& key);

// Reads the text form; the final LF may be missing. False with `error` otherwise.
bool parse_public_key(const char* data, std::size_t size, PublicKey& key, std::string& error);

}  // namespace tolvex::trust
