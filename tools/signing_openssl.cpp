// The signing functions over OpenSSL 3's libcrypto. OpenSSL signs and verifies ECDSA in DER;
// the manifest holds the raw r || s form, converted here with OpenSSL's own functions.
#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/pem.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tools/signing.h"

namespace tolvex::publish {
namespace {

constexpr const char* kCurve = "prime256v1";  // OpenSSL's name of P-256
constexpr std::size_t kCoordinateSize = 32;

struct Free {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
  void operator()(EVP_PKEY_CTX* context) const { EVP_PKEY_CTX_free(context); }
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  void operator()(BIO* bio) const { BIO_free(bio); }
  void operator()(ECDSA_SIG* signature) const { ECDSA_SIG_free(signature); }
  void operator()(BIGNUM* number) const { BN_free(number); }
  void operator()(OSSL_PARAM_BLD* builder) const { OSSL_PARAM_BLD_free(builder); }
  void operator()(OSSL_PARAM* params) const { OSSL_PARAM_free(params); }
};
template <typename T>
using Owned = std::unique_ptr<T, Free>;

bool is_p256(EVP_PKEY* key) {
  char group[32] = {};
  std::size_t length = 0;
  return EVP_PKEY_is_a(key, "EC") &&
         EVP_PKEY_get_utf8_string_param(key, OSSL_PKEY_PARAM_GROUP_NAME, group, sizeof group, &length) &&
         std::strcmp(group, kCurve) == 0;
}

bool public_point(EVP_PKEY* key, trust::PublicKey& public_key) {
  std::uint8_t point[1 + 2 * kCoordinateSize];
  std::size_t length = 0;
  if (!EVP_PKEY_get_octet_string_param(key, OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point, &length) ||
      length != sizeof point || point[0] != 0x04)
    return false;
  std::memcpy(public_key.data(), point + 1, public_key.size());
  return true;
}

Owned<EVP_PKEY> key_from_point(const trust::PublicKey& public_key) {
  std::uint8_t point[1 + 2 * kCoordinateSize];
  point[0] = 0x04;  // uncompressed
  std::memcpy(point + 1, public_key.data(), public_key.size());
  Owned<OSSL_PARAM_BLD> builder(OSSL_PARAM_BLD_new());
  if (!builder || !OSSL_PARAM_BLD_push_utf8_string(builder.get(), OSSL_PKEY_PARAM_GROUP_NAME, kCurve, 0) ||
      !OSSL_PARAM_BLD_push_octet_string(builder.get(), OSSL_PKEY_PARAM_PUB_KEY, point, sizeof point))
    return nullptr;
  Owned<OSSL_PARAM> params(OSSL_PARAM_BLD_to_param(builder.get()));
  Owned<EVP_PKEY_CTX> context(EVP_PKEY_CTX_new_from_name(nullptr, "EC", nullptr));
  EVP_PKEY* key = nullptr;
  if (!params || !context || EVP_PKEY_fromdata_init(context.get()) <= 0 ||
      EVP_PKEY_fromdata(context.get(), &key, EVP_PKEY_PUBLIC_KEY, params.get()) <= 0)
    return nullptr;
  return Owned<EVP_PKEY>(key);
}

}  // namespace

bool signing_available() { return true; }

bool sha256(const std::uint8_t* data, std::size_t size, trust::Sha256& digest) {
  unsigned int length = 0;
  return EVP_Digest(data, size, digest.data(), &length, EVP_sha256(), nullptr) == 1 && length == digest.size();
}

bool generate_key(std::string& private_pem, trust::PublicKey& public_key, std::string& error) {
  Owned<EVP_PKEY> key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", kCurve));
  Owned<BIO> bio(BIO_new(BIO_s_mem()));
  if (!key || !bio || !public_point(key.get(), public_key) ||
      PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1) {
    error = "cannot make a P-256 key with OpenSSL";
    return false;
  }
  char* data = nullptr;
  long size = BIO_get_mem_data(bio.get(), &data);
  private_pem.assign(data, static_cast<std::size_t>(size));
  return true;
}

bool sign_message(const std::string& private_pem, const std::string& message, trust::Signature& signature,
                  std::string& error) {
  Owned<BIO> bio(BIO_new_mem_buf(private_pem.data(), static_cast<int>(private_pem.size())));
  Owned<EVP_PKEY> key(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr);
  if (!key || !is_p256(key.get())) {
    error = "not an unencrypted ECDSA P-256 private key in PEM form";
    return false;
  }
  Owned<EVP_MD_CTX> context(EVP_MD_CTX_new());
  std::size_t der_size = 0;
  if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) != 1 ||
      EVP_DigestSign(context.get(), nullptr, &der_size, reinterpret_cast<const unsigned char*>(message.data()),
                     message.size()) != 1) {
    error = "OpenSSL cannot sign with this key";
    return false;
  }
  std::vector<unsigned char> der(der_size);
  if (EVP_DigestSign(context.get(), der.data(), &der_size, reinterpret_cast<const unsigned char*>(message.data()),
                     message.size()) != 1) {
    error = "OpenSSL cannot sign with this key";
    return false;
  }
  const unsigned char* cursor = der.data();
  Owned<ECDSA_SIG> parsed(d2i_ECDSA_SIG(nullptr, &cursor, static_cast<long>(der_size)));
  const BIGNUM* r = nullptr;
  const BIGNUM* s = nullptr;
  if (parsed) ECDSA_SIG_get0(parsed.get(), &r, &s);
  if (!parsed || BN_bn2binpad(r, signature.data(), kCoordinateSize) != kCoordinateSize ||
      BN_bn2binpad(s, signature.data() + kCoordinateSize, kCoordinateSize) != kCoordinateSize) {
    error = "OpenSSL gave a signature that is not two 32-byte numbers";
    return false;
  }
  // The key file's public half is what verifiers will be given: it must belong to its secret.
  trust::PublicKey public_key{};
  if (!public_point(key.get(), public_key) || !verify_message(public_key, message, signature)) {
    error = kMismatchedKeyPair;
    return false;
  }
  return true;
}

bool verify_message(const trust::PublicKey& public_key, const std::string& message, const trust::Signature& signature) {
  Owned<EVP_PKEY> key = key_from_point(public_key);
  Owned<ECDSA_SIG> parsed(ECDSA_SIG_new());
  if (!key || !parsed) return false;
  Owned<BIGNUM> r(BN_bin2bn(signature.data(), kCoordinateSize, nullptr));
  Owned<BIGNUM> s(BN_bin2bn(signature.data() + kCoordinateSize, kCoordinateSize, nullptr));
  if (!r || !s || ECDSA_SIG_set0(parsed.get(), r.get(), s.get()) != 1) return false;
  r.release();  // owned by `parsed` now
  s.release();
  unsigned char* der = nullptr;
  int der_size = i2d_ECDSA_SIG(parsed.get(), &der);
  if (der_size <= 0) return false;
  std::unique_ptr<unsigned char, void (*)(void*)> der_owner(der, [](void* p) { OPENSSL_free(p); });
  Owned<EVP_MD_CTX> context(EVP_MD_CTX_new());
  return context && EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
         EVP_DigestVerify(context.get(), der, static_cast<std::size_t>(der_size),
                          reinterpret_cast<const unsigned char*>(message.data()), message.size()) == 1;
}

}  // namespace tolvex::publish
