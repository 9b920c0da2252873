#pragma once
// SHA-256 and ECDSA P-256 signature checks over the platform's own cryptography (CNG).
#include <cstddef>
#include <string>
#include <vector>

#include "trust/manifest.h"
#include "trust/text_forms.h"
#include "win/scoped_win.h"

namespace tolvex::trust {

// SHA-256 over bytes handed in piece by piece, as they arrive.
class Sha256Stream {
 public:
  Sha256Stream();
  Sha256Stream(const Sha256Stream&) = delete;
  Sha256Stream& operator=(const Sha256Stream&) = delete;

  void update(const void* data, std::size_t size);
  // The digest of everything handed in; false when the platform failed at any step.
  [[nodiscard]] bool finish(Sha256& digest);

 private:
  // Declared in opening order: the hash goes before its object buffer and its provider.
  CryptoProvider provider_;
  std::vector<unsigned char> object_;
  CryptoHash hash_;
  bool failed_ = false;
};

// True only when `signature` (raw r || s) is a valid ECDSA P-256 signature of the SHA-256 of
// `message` by `key`.
bool signature_valid(const PublicKey& key, const std::string& message, const Signature& signature);

}  // namespace tolvex::trust
