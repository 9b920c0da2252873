#include "unlha32/temporary_name.h"

#include <cstring>

namespace tolvex::unlha32 {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_ignoring_case(const char* text, const char* ascii, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i)
    if (lower(text[i]) != ascii[i]) return false;
  return true;
}

bool hex_digit(char c) { return (c >= '0' && c <= '9') || (lower(c) >= 'a' && lower(c) <= 'f'); }

}  // namespace

bool is_temporary_name(const char* name) {
  constexpr char kSuffix[] = ".tmp";
  const std::size_t prefix = sizeof kTemporaryPrefix - 1;
  const std::size_t suffix = sizeof kSuffix - 1;
  const std::size_t length = std::strlen(name);
  if (length < prefix + 1 + suffix || length > prefix + 4 + suffix) return false;
  if (!same_ignoring_case(name, kTemporaryPrefix, prefix) ||
      !same_ignoring_case(name + length - suffix, kSuffix, suffix))
    return false;
  for (std::size_t i = prefix; i < length - suffix; ++i)
    if (!hex_digit(name[i])) return false;
  return true;
}

}  // namespace tolvex::unlha32
