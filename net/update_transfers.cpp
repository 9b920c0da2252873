#include "net/update_transfers.h"

namespace tolvex {

bool is_https_address(const std::string& url) {
  static const char kScheme[] = "https://";
  if (url.size() < sizeof kScheme - 1) return false;
  for (std::size_t i = 0; i < sizeof kScheme - 1; ++i) {
    char c = url[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kScheme[i]) return false;
  }
  return true;
}

}  // namespace tolvex
