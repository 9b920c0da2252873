#include "trust/public_key_text.h"

#include "trust/hex.h"

namespace tolvex::trust {

std::string format_public_key(const PublicKey& key) { return to_hex(key.data(), key.size()) + "\n"; }

bool parse_public_key(const char* data, std::size_t size, PublicKey& key, std::string& error) {
  if (size > 0 && data[size - 1] == '\n') --size;
  if (size != key.size() * 2 || !from_hex(data, size, key.data(), key.size())) {
    error = "not a public key: expected one line of 128 lowercase hex digits (the point X || Y)";
    return false;
  }
  return true;
}

}  // namespace tolvex::trust
