#include "trust/hex.h"

namespace tolvex::trust {
namespace {

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string to_hex(const std::uint8_t* bytes, std::size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

bool from_hex(const char* text, std::size_t text_size, std::uint8_t* bytes, std::size_t size) {
  if (text_size / 2 != size || text_size % 2 != 0) return false;
  for (std::size_t i = 0; i < size; ++i) {
    int high = digit_value(text[2 * i]);
    int low = digit_value(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

}  // namespace tolvex::trust
