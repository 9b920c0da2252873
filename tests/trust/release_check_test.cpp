// The updater's acceptance of a signed release, with a stand-in signature check (a signature
// "verifies" when it equals the key's bytes): the real curve arithmetic is the platform's and is
// tested under Wine. What is tested here is which keys, names and hashes are demanded.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "trust/release_check.h"
#include "trust/text_forms.h"

namespace tolvex::trust {
namespace {

PublicKey key_of(std::uint8_t fill) {
  PublicKey key;
  key.fill(fill);
  return key;
}

Signature signature_of(const PublicKey& key) {
  Signature signature;
  std::copy(key.begin(), key.end(), signature.begin());
  return signature;
}

bool stand_in_check(const PublicKey& key, const std::string&, const Signature& signature) {
  return std::equal(key.begin(), key.end(), signature.begin());
}

Sha256 hash_of(std::uint8_t fill) {
  Sha256 hash;
  hash.fill(fill);
  return hash;
}

std::string manifest_signed_by(const PublicKey& key, const std::string& list_name = "update.txt",
                               std::uint64_t serial = 5, std::int64_t expires_at = -1) {
  Manifest manifest;
  manifest.serial = serial;
  manifest.format = serial == 0 ? 1 : 2;
  manifest.expires = expires_at >= 0;
  manifest.expires_at = expires_at;
  manifest.list = {list_name, hash_of(1)};
  manifest.archives = {{"plo.lzh", hash_of(2), 100}, {"vemoda.lzh", hash_of(3), 200}};
  std::string body, error;
  EXPECT_TRUE(write_manifest_body(manifest, body, error)) << error;
  return append_signature_line(body, signature_of(key));
}

struct Outcome {
  ListVerdict verdict;
  bool accepted;
  std::string error;
  Manifest manifest;
};

Outcome accept(const std::string& text, const std::vector<PublicKey>& keys, const Sha256& list_hash = hash_of(1),
               const ReleaseHistory& history = {}) {
  Outcome outcome;
  outcome.verdict = accept_signed_list(text.data(), text.size(), "update.txt", list_hash, keys, stand_in_check, history,
                                       outcome.manifest, outcome.error);
  outcome.accepted = outcome.verdict == ListVerdict::kAccepted;
  return outcome;
}

TEST(SignedList, AnyTrustedKeyIsEnoughAndTheArchivesHashesAreKept) {
  const Outcome outcome = accept(manifest_signed_by(key_of(0xB2)), {key_of(0xA1), key_of(0xB2)});
  ASSERT_TRUE(outcome.accepted) << outcome.error;
  ASSERT_NE(signed_archive(outcome.manifest, "vemoda.lzh"), nullptr);
  EXPECT_EQ(signed_archive(outcome.manifest, "vemoda.lzh")->sha256, hash_of(3));
  EXPECT_EQ(signed_archive(outcome.manifest, "vemoda.lzh")->size, 200);
  EXPECT_EQ(signed_archive(outcome.manifest, "VEMODA.LZH"), nullptr);
  EXPECT_EQ(signed_archive(outcome.manifest, "nuri.lzh"), nullptr);
}

TEST(SignedList, AnOlderReleaseOrAnExpiredOneIsRefusedOnlyOnceItsSignatureHolds) {
  const PublicKey key = key_of(0xA1);
  EXPECT_EQ(accept(manifest_signed_by(key, "update.txt", 4), {key}, hash_of(1), {5, 0}).verdict,
            ListVerdict::kOlderRelease);
  EXPECT_EQ(accept(manifest_signed_by(key, "update.txt", 0), {key}, hash_of(1), {1, 0}).verdict,
            ListVerdict::kOlderRelease);  // format 1 once a numbered release was accepted
  EXPECT_TRUE(accept(manifest_signed_by(key, "update.txt", 0), {key}, hash_of(1), {0, 0}).accepted);
  EXPECT_EQ(accept(manifest_signed_by(key, "update.txt", 0), {key}, hash_of(1), {0, 0, true}).verdict,
            ListVerdict::kOlderRelease);  // format 1, with administrator rights: no serial to judge
  EXPECT_TRUE(accept(manifest_signed_by(key, "update.txt", 1), {key}, hash_of(1), {0, 0, true}).accepted);
  EXPECT_TRUE(accept(manifest_signed_by(key, "update.txt", 5), {key}, hash_of(1), {5, 0}).accepted);
  EXPECT_EQ(accept(manifest_signed_by(key, "update.txt", 5, 1000), {key}, hash_of(1), {0, 1000}).verdict,
            ListVerdict::kExpired);
  EXPECT_TRUE(accept(manifest_signed_by(key, "update.txt", 5, 1000), {key}, hash_of(1), {0, 999}).accepted);
  // An unsigned or foreign text says nothing about releases, whatever its serial.
  EXPECT_EQ(accept(manifest_signed_by(key_of(0xB2), "update.txt", 1), {key}, hash_of(1), {5, 0}).verdict,
            ListVerdict::kBadSignature);
}

TEST(SignedList, RefusedForAnUntrustedKeyAnotherListOrAnotherHash) {
  const std::string by_a = manifest_signed_by(key_of(0xA1));
  EXPECT_NE(accept(by_a, {key_of(0xB2)}).error.find("any trusted key"), std::string::npos);
  EXPECT_FALSE(accept(by_a, {}).accepted);
  EXPECT_NE(accept(by_a, {key_of(0xA1)}, hash_of(9)).error.find("SHA-256"), std::string::npos);
  EXPECT_NE(accept(manifest_signed_by(key_of(0xA1), "beta.txt"), {key_of(0xA1)}).error.find("beta.txt"),
            std::string::npos);
  std::string cut = by_a.substr(0, by_a.size() - 2);
  EXPECT_FALSE(accept(cut, {key_of(0xA1)}).accepted);
  EXPECT_FALSE(accept("", {key_of(0xA1)}).accepted);
}

TEST(SignedList, RefusalLeavesTheAcceptedManifestAlone) {
  Manifest kept;
  kept.list.name = "kept";
  std::string error;
  const std::string text = manifest_signed_by(key_of(0xA1));
  EXPECT_EQ(accept_signed_list(text.data(), text.size(), "update.txt", hash_of(9), {key_of(0xA1)}, stand_in_check, {},
                               kept, error),
            ListVerdict::kBadSignature);
  EXPECT_EQ(kept.list.name, "kept");
}

TEST(PublicKeyList, OneKeyPerLineBlankLinesAndCrLfAllowed) {
  const std::string a = to_hex(key_of(0xA1).data(), 64), b = to_hex(key_of(0xB2).data(), 64);
  std::vector<PublicKey> keys;
  std::string error;
  const std::string text = a + "\r\n\n" + b;
  ASSERT_TRUE(parse_public_key_list(text.data(), text.size(), keys, error)) << error;
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[1], key_of(0xB2));

  const std::string bad = a + "\n" + b.substr(2) + "\n";
  EXPECT_FALSE(parse_public_key_list(bad.data(), bad.size(), keys, error));
  EXPECT_TRUE(keys.empty());
  EXPECT_EQ(error.substr(0, 7), "line 2:");
}

}  // namespace
}  // namespace tolvex::trust
