// The updater's acceptance of a signed release, with a stand-in signature check (a signature
// "verifies" when it equals the key's bytes): the real curve arithmetic is the platform's and is
// tested under Wine. What is tested here is which keys, names and hashes are demanded.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "trust/hex.h"
#include "trust/release_check.h"

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

std::string manifest_signed_by(const PublicKey& key, const std::string& list_name = "update.txt") {
  Manifest manifest;
  manifest.list = {list_name, hash_of(1)};
  manifest.archives = {{"plo.lzh", hash_of(2)}, {"vemoda.lzh", hash_of(3)}};
  std::string body, error;
  EXPECT_TRUE(write_manifest_body(manifest, body, error)) << error;
  return append_signature_line(body, signature_of(key));
}

struct Outcome {
  bool accepted;
  std::string error;
  Manifest manifest;
};

Outcome accept(const std::string& text, const std::vector<PublicKey>& keys, const Sha256& list_hash = hash_of(1)) {
  Outcome outcome;
  outcome.accepted = accept_signed_list(text.data(), text.size(), "update.txt", list_hash, keys, stand_in_check,
                                        outcome.manifest, outcome.error);
  return outcome;
}

TEST(SignedList, AnyTrustedKeyIsEnoughAndTheArchivesHashesAreKept) {
  const Outcome outcome = accept(manifest_signed_by(key_of(0xB2)), {key_of(0xA1), key_of(0xB2)});
  ASSERT_TRUE(outcome.accepted) << outcome.error;
  ASSERT_NE(signed_archive_hash(outcome.manifest, "vemoda.lzh"), nullptr);
  EXPECT_EQ(*signed_archive_hash(outcome.manifest, "vemoda.lzh"), hash_of(3));
  EXPECT_EQ(signed_archive_hash(outcome.manifest, "VEMODA.LZH"), nullptr);
  EXPECT_EQ(signed_archive_hash(outcome.manifest, "nuri.lzh"), nullptr);
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
  EXPECT_FALSE(accept_signed_list(text.data(), text.size(), "update.txt", hash_of(9), {key_of(0xA1)}, stand_in_check,
                                  kept, error));
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
