#pragma once
// The text forms of the values a signed release carries. Hexadecimal is lowercase for hashes,
// signatures and keys; reading accepts lowercase digits only, so every value has exactly one
// text form. Moments are in UTC as seconds since 1970-01-01T00:00:00Z, written in a signed
// manifest as "YYYY-MM-DDTHH:MM:SSZ" (ISO 8601, UTC, no fractions, no offsets). A public key is
// the 64-byte point X || Y of an uncompressed ECDSA P-256 public key (big-endian, 32 bytes each)
// as 128 lowercase hex digits on one line, ended by LF.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvex::trust {

// Two lowercase hex digits per byte.
std::string to_hex(const std::uint8_t* bytes, std::size_t size);

// Reads exactly 2 * `size` lowercase hex digits from `text` into `bytes`. False (with `bytes`
// partly written) when `text_size` is not 2 * `size` or a character is not 0-9 or a-f.
bool from_hex(const char* text, std::size_t text_size, std::uint8_t* bytes, std::size_t size);

// The text form of `seconds` (1970 to 9999; others are clamped to that range).
std::string format_utc_time(std::int64_t seconds);

// Reads exactly the text form, with a real calendar date and a time of day before 24:00:00.
// False for anything else; `seconds` changes only on success.
bool parse_utc_time(const char* text, std::size_t size, std::int64_t& seconds);

using PublicKey = std::array<std::uint8_t, 64>;

std::string format_public_key(const PublicKey& key);

// Reads the text form; the final LF may be missing. False with `error` otherwise.
bool parse_public_key(const char* data, std::size_t size, PublicKey& key, std::string& error);

}  // namespace tolvex::trust
