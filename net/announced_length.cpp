#include "net/announced_length.h"

#include <cstdint>
#include <limits>

namespace tolvex {

std::int32_t parse_announced_length(const char* header_text) {
  const char* p = header_text;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                      : std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > limit) value = limit;  // clamp; the digits after it change nothing
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace tolvex
