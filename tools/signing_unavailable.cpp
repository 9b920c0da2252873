// The signing functions of a build without OpenSSL: each one fails.
#include "tools/signing.h"

namespace tolvex::publish {

bool signing_available() { return false; }

bool sha256(const std::uint8_t*, std::size_t, trust::Sha256&) { return false; }

bool generate_key(std::string&, trust::PublicKey&, std::string& error) {
  error = kSigningUnavailable;
  return false;
}

bool sign_message(const std::string&, const std::string&, trust::Signature&, std::string& error) {
  error = kSigningUnavailable;
  return false;
}

bool verify_message(const trust::PublicKey&, const std::string&, const trust::Signature&) { return false; }

}  // namespace tolvex::publish
