#pragma once
// The length a response announces in its Content-Length header.
#include <cstdint>

namespace tolvex {

// Reads the header's text as a decimal integer from its leading digits, after optional white
// space and sign, as the C library's atol does; 0 when it holds no digits. Values beyond the
// 32-bit range are clamped to it.
std::int32_t parse_announced_length(const char* header_text);

}  // namespace tolvex
