// The signing functions over the platform's CNG (bcrypt): P-256 keys made, exported and imported
// as ECC key blobs, which hold X, Y and d as 32-byte big-endian numbers, the same numbers the
// PKCS#8 key file carries. BCryptSignHash gives the raw r || s form the manifest holds.
#include <windows.h>
#include <bcrypt.h>

#include <cstring>

#include "tools/signing.h"
#include "trust/cng_crypto_win.h"
#include "win/scoped_win.h"

namespace tolvex::publish {
namespace {

constexpr ULONG kCoordinateSize = 32;

bool succeeded(NTSTATUS status) { return status >= 0; }

// BCRYPT_ECCPRIVATE_BLOB: the header, then X, Y and d. Wiped when it goes away.
struct PrivateBlob {
  unsigned char bytes[sizeof(BCRYPT_ECCKEY_BLOB) + 3 * kCoordinateSize] = {};
  ~PrivateBlob() { SecureZeroMemory(bytes, sizeof bytes); }
  unsigned char* point() { return bytes + sizeof(BCRYPT_ECCKEY_BLOB); }
  unsigned char* secret() { return point() + 2 * kCoordinateSize; }
};

bool open_p256(CryptoProvider& provider) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!succeeded(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))) return false;
  provider.reset(algorithm);
  return true;
}

}  // namespace

bool signing_available() { return true; }

bool sha256(const std::uint8_t* data, std::size_t size, trust::Sha256& digest) {
  trust::Sha256Stream stream;
  stream.update(data, size);
  return stream.finish(digest);
}

bool generate_key(std::string& private_pem, trust::PublicKey& public_key, std::string& error) {
  error = "cannot make a P-256 key with the system's cryptography (CNG)";
  CryptoProvider provider;
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (!open_p256(provider) || !succeeded(BCryptGenerateKeyPair(provider.get(), &handle, 256, 0))) return false;
  CryptoKey key(handle);
  PrivateBlob blob;
  ULONG written = 0;
  if (!succeeded(BCryptFinalizeKeyPair(key.get(), 0)) ||
      !succeeded(
          BCryptExportKey(key.get(), nullptr, BCRYPT_ECCPRIVATE_BLOB, blob.bytes, sizeof blob.bytes, &written, 0)) ||
      written != sizeof blob.bytes)
    return false;
  BCRYPT_ECCKEY_BLOB header;
  std::memcpy(&header, blob.bytes, sizeof header);
  if (header.dwMagic != BCRYPT_ECDSA_PRIVATE_P256_MAGIC || header.cbKey != kCoordinateSize) return false;
  P256PrivateKey pair;
  std::memcpy(pair.public_key.data(), blob.point(), pair.public_key.size());
  std::memcpy(pair.secret.data(), blob.secret(), pair.secret.size());
  private_pem = private_key_pem(pair);
  SecureZeroMemory(pair.secret.data(), pair.secret.size());
  public_key = pair.public_key;
  error.clear();
  return true;
}

bool sign_message(const std::string& private_pem, const std::string& message, trust::Signature& signature,
                  std::string& error) {
  P256PrivateKey pair;
  std::string why;
  if (!read_private_key_pem(private_pem, pair, why)) {
    error = "not an unencrypted ECDSA P-256 private key in PEM form: " + why;
    return false;
  }
  PrivateBlob blob;
  const BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PRIVATE_P256_MAGIC, kCoordinateSize};
  std::memcpy(blob.bytes, &header, sizeof header);
  std::memcpy(blob.point(), pair.public_key.data(), pair.public_key.size());
  std::memcpy(blob.secret(), pair.secret.data(), pair.secret.size());
  SecureZeroMemory(pair.secret.data(), pair.secret.size());
  const trust::PublicKey public_half = pair.public_key;

  error = "the system's cryptography (CNG) cannot sign with this key";
  CryptoProvider provider;
  BCRYPT_KEY_HANDLE handle = nullptr;
  if (!open_p256(provider) || !succeeded(BCryptImportKeyPair(provider.get(), nullptr, BCRYPT_ECCPRIVATE_BLOB, &handle,
                                                             blob.bytes, sizeof blob.bytes, 0)))
    return false;
  CryptoKey key(handle);
  trust::Sha256 digest{};
  ULONG written = 0;
  if (!sha256(reinterpret_cast<const std::uint8_t*>(message.data()), message.size(), digest) ||
      !succeeded(BCryptSignHash(key.get(), nullptr, digest.data(), static_cast<ULONG>(digest.size()), signature.data(),
                                static_cast<ULONG>(signature.size()), &written, 0)) ||
      written != signature.size())
    return false;
  // The key file's public half is what verifiers will be given: it must belong to its secret.
  if (!verify_message(public_half, message, signature)) {
    error = kMismatchedKeyPair;
    return false;
  }
  error.clear();
  return true;
}

bool verify_message(const trust::PublicKey& public_key, const std::string& message, const trust::Signature& signature) {
  return trust::signature_valid(public_key, message, signature);
}

}  // namespace tolvex::publish
