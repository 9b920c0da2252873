#pragma once
// The publisher's cryptography: SHA-256, ECDSA P-256 keys, signatures in the raw r || s form the
// manifest holds. Natively over OpenSSL's libcrypto, in the Windows build over the system's CNG;
// in a native build without libcrypto every function fails with kSigningUnavailable. Both
// builds read and write the same private key files (tools/private_key_pem.h).
#include <cstddef>
#include <cstdint>
#include <string>

#include "trust/manifest.h"
#include "trust/text_forms.h"

namespace tolvex::publish {

constexpr const char* kSigningUnavailable = "signing is not available in this build";

bool signing_available();

bool sha256(const std::uint8_t* data, std::size_t size, trust::Sha256& digest);

// A new key pair: the private key as PEM (PKCS#8, unencrypted) and the public point X || Y.
bool generate_key(std::string& private_pem, trust::PublicKey& public_key, std::string& error);

// Signs `message` (SHA-256 inside) with a P-256 private key given as PEM. False with `error`
// when the PEM is not such a key or signing fails.
bool sign_message(const std::string& private_pem, const std::string& message, trust::Signature& signature,
                  std::string& error);

// True only when `signature` is a valid signature of `message` by `public_key`.
bool verify_message(const trust::PublicKey& public_key, const std::string& message, const trust::Signature& signature);

}  // namespace tolvex::publish
