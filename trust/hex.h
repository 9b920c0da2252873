#pragma once
// Lowercase hexadecimal text for hashes, signatures and keys. Reading accepts lowercase digits
// only, so every value has exactly one text form.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvex::trust {

// Two lowercase hex digits per byte.
std::string to_hex(const std::uint8_t* bytes, std::size_t size);

// Reads exactly 2 * `size` lowercase hex digits from `text` into `bytes`. False (with `bytes`
// partly written) when `text_size` is not 2 * `size` or a character is not 0-9 or a-f.
bool from_hex(const char* text, std::size_t text_size, std::uint8_t* bytes, std::size_t size);

}  // namespace tolvex::trust
