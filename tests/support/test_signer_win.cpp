#include "support/test_signer_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "fixtures/fixture_paths.h"
#include "trust/cng_crypto_win.h"
#include "trust/manifest.h"
#include "trust/text_forms.h"

namespace tolvex::testing {
namespace {

trust::Sha256 sha256_of(const std::string& bytes) {
  trust::Sha256Stream stream;
  stream.update(bytes.data(), bytes.size());
  trust::Sha256 digest{};
  EXPECT_TRUE(stream.finish(digest));
  return digest;
}

trust::Signature sign(const std::string& key, const std::string& message) {
  std::ifstream file(fixture_path("keys\\" + key + ".private"));
  const std::string hex((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + 96] = {};
  const BCRYPT_ECCKEY_BLOB header = {BCRYPT_ECDSA_PRIVATE_P256_MAGIC, 32};
  std::memcpy(blob, &header, sizeof header);
  EXPECT_TRUE(trust::from_hex(hex.data(), 192, blob + sizeof header, 96)) << key;

  trust::Signature signature{};
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  EXPECT_GE(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0), 0);
  CryptoProvider provider(algorithm);
  BCRYPT_KEY_HANDLE imported = nullptr;
  EXPECT_GE(BCryptImportKeyPair(algorithm, nullptr, BCRYPT_ECCPRIVATE_BLOB, &imported, blob, sizeof blob, 0), 0);
  CryptoKey private_key(imported);
  trust::Sha256 digest = sha256_of(message);
  ULONG written = 0;
  EXPECT_GE(BCryptSignHash(private_key.get(), nullptr, digest.data(), 32, signature.data(), 64, &written, 0), 0);
  return signature;
}

}  // namespace

std::string signed_manifest(const std::string& key, const SignedFile& list, const std::vector<SignedFile>& archives,
                            const ReleaseStamp& stamp) {
  trust::Manifest manifest;
  manifest.format = stamp.serial == 0 ? 1 : 2;
  manifest.serial = stamp.serial;
  manifest.expires = stamp.expires_at >= 0;
  manifest.expires_at = stamp.expires_at;
  manifest.list = {list.name, sha256_of(list.bytes)};
  for (const SignedFile& archive : archives)
    manifest.archives.push_back({archive.name, sha256_of(archive.bytes),
                                 stamp.serial == 0 ? -1 : static_cast<std::int64_t>(archive.bytes.size())});
  std::string body, error;
  EXPECT_TRUE(trust::write_manifest_body(manifest, body, error)) << error;
  return trust::append_signature_line(body, sign(key, body));
}

}  // namespace tolvex::testing
