#include "trust/cng_crypto_win.h"

#include <cstring>

namespace tolvex::trust {
namespace {

bool succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

Sha256Stream::Sha256Stream() {
  BCRYPT_ALG_HANDLE provider = nullptr;
  if (!succeeded(BCryptOpenAlgorithmProvider(&provider, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
    failed_ = true;
    return;
  }
  provider_.reset(provider);
  DWORD object_size = 0;
  ULONG written = 0;
  if (!succeeded(BCryptGetProperty(provider, BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&object_size),
                                   sizeof object_size, &written, 0))) {
    failed_ = true;
    return;
  }
  object_.resize(object_size);
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!succeeded(BCryptCreateHash(provider, &hash, object_.data(), object_size, nullptr, 0, 0))) {
    failed_ = true;
    return;
  }
  hash_.reset(hash);
}

void Sha256Stream::update(const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (!failed_ && size > 0) {
    const ULONG piece = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
    failed_ = !succeeded(BCryptHashData(hash_.get(), const_cast<PUCHAR>(bytes), piece, 0));
    bytes += piece;
    size -= piece;
  }
}

bool Sha256Stream::finish(Sha256& digest) {
  if (failed_) return false;
  failed_ = true;  // a hash object finishes once
  return succeeded(BCryptFinishHash(hash_.get(), digest.data(), static_cast<ULONG>(digest.size()), 0));
}

bool signature_valid(const PublicKey& key, const std::string& message, const Signature& signature) {
  Sha256Stream stream;
  stream.update(message.data(), message.size());
  Sha256 digest{};
  if (!stream.finish(digest)) return false;

  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!succeeded(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0))) return false;
  CryptoProvider provider(algorithm);

  // The public key blob: its header, then X and Y, 32 bytes each, big-endian.
  unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64] = {};
  BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
  std::memcpy(blob, &header, sizeof header);
  std::memcpy(blob + sizeof header, key.data(), key.size());
  BCRYPT_KEY_HANDLE imported = nullptr;
  if (!succeeded(BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPUBLIC_BLOB, &imported, blob, sizeof blob, 0)))
    return false;
  CryptoKey public_key(imported);

  return succeeded(BCryptVerifySignature(public_key.get(), nullptr, digest.data(), static_cast<ULONG>(digest.size()),
                                         const_cast<PUCHAR>(signature.data()), static_cast<ULONG>(signature.size()),
                                         0));
}

}  // namespace tolvex::trust
