#pragma once
// Moments in UTC as seconds since 1970-01-01T00:00:00Z, and their one text form in a signed
// manifest: "YYYY-MM-DDTHH:MM:SSZ" (ISO 8601, UTC, no fractions, no offsets).
#include <cstdint>
#include <string>

namespace tolvex::trust {

// The text form of `seconds` (1970 to 9999; others are clamped to that range).
std::string format_utc_time(std::int64_t seconds);

// Reads exactly the text form, with a real calendar date and a time of day before 24:00:00.
// False for anything else; `seconds` changes only on success.
bool parse_utc_time(const char* text, std::size_t size, std::int64_t& seconds);

}  // namespace tolvex::trust
