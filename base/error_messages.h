#pragma once
// Japanese messages (code page 932) for the failure codes.
#include <cstddef>

#include "base/error_code.h"

namespace tolvex {

// Size of the status-line buffers that every caller passes.
constexpr std::size_t kStatusTextSize = 256;

// The message of a code; codes without an entry (2019, 0, out of range) give the default text.
const char* error_message(ErrorCode code);

// Copies the message of `code`, NUL-terminated, into `destination` of `size` bytes (a text that
// does not fit is cut at a character boundary; every message fits the 256-byte status buffer).
void describe_error(ErrorCode code, char* destination, std::size_t size = kStatusTextSize);

}  // namespace tolvex
