// The manifest and public key texts: what the writer writes reads back, and each way a text can
// be malformed is refused with the line it is on.
#include <gtest/gtest.h>

#include <string>

#include "trust/manifest.h"
#include "trust/public_key_text.h"

namespace tolvex::trust {
namespace {

const std::string kHash(64, 'a');
const std::string kSignature = std::string(64, '1') + std::string(64, '2');
const std::string kGood =
    "tolvex-manifest 1\nlist update.txt " + kHash + "\narchive plo.lzh " + kHash + "\nsignature " + kSignature + "\n";

std::string parse_error(const std::string& text) {
  ParsedManifest parsed;
  std::string error;
  EXPECT_FALSE(parse_manifest(text.data(), text.size(), parsed, error)) << text;
  return error;
}

TEST(Manifest, WritesAndReadsBack) {
  Manifest manifest;
  manifest.list = {"update.txt", {}};
  manifest.list.sha256[0] = 0xAB;
  manifest.archives = {{"plo.lzh", {}}, {"vemoda.lzh", {}}};
  manifest.archives[1].sha256[31] = 0x01;
  std::string body, error;
  ASSERT_TRUE(write_manifest_body(manifest, body, error)) << error;
  Signature signature{};
  signature[0] = 0xFF;
  const std::string text = append_signature_line(body, signature);
  EXPECT_EQ(text.substr(0, 46), "tolvex-manifest 1\nlist update.txt ab0000000000");

  ParsedManifest parsed;
  ASSERT_TRUE(parse_manifest(text.data(), text.size(), parsed, error)) << error;
  EXPECT_EQ(parsed.signed_part, body);
  EXPECT_EQ(parsed.signature, signature);
  EXPECT_EQ(parsed.manifest.list.name, "update.txt");
  EXPECT_EQ(parsed.manifest.list.sha256, manifest.list.sha256);
  ASSERT_EQ(parsed.manifest.archives.size(), 2u);
  EXPECT_EQ(parsed.manifest.archives[1].name, "vemoda.lzh");
  EXPECT_EQ(parsed.manifest.archives[1].sha256, manifest.archives[1].sha256);
}

TEST(Manifest, WriterRefusesNamesItCannotHold) {
  std::string body, error;
  EXPECT_FALSE(write_manifest_body({{"a/b.txt", {}}, {}}, body, error));
  EXPECT_FALSE(write_manifest_body({{"update.txt", {}}, {{"update.txt", {}}}}, body, error));
  EXPECT_NE(error.find("named twice"), std::string::npos) << error;
}

TEST(Manifest, RefusesAnotherFormatOrVersion) {
  EXPECT_NE(parse_error("tolvex-manifest 2" + kGood.substr(17)).find("line 1:"), std::string::npos);
  EXPECT_NE(parse_error("tolvex-manifest 1\r" + kGood.substr(17)).find("line 1:"), std::string::npos);
}

TEST(Manifest, RefusesHashesNotInLowercaseHex) {
  std::string upper = kGood;
  upper[upper.find(kHash)] = 'A';
  EXPECT_NE(parse_error(upper).find("line 2: the SHA-256"), std::string::npos);
  std::string short_hash = kGood;
  short_hash.erase(short_hash.find(kHash), 1);
  EXPECT_NE(parse_error(short_hash).find("line 2:"), std::string::npos);
}

TEST(Manifest, RefusesNamesThatAreNotBareFileNames) {
  for (const char* name : {"../plo.lzh", "a\\b.lzh", "c:plo.lzh", "..", "p\xE9.lzh"}) {
    std::string text = kGood;
    text.replace(text.find("plo.lzh"), 7, name);
    EXPECT_NE(parse_error(text).find("line 3: the name"), std::string::npos) << name;
  }
}

TEST(Manifest, RefusesANameGivenTwice) {
  std::string text = kGood;
  text.replace(text.find("plo.lzh"), 7, "update.txt");
  EXPECT_NE(parse_error(text).find("line 3: \"update.txt\" is named twice"), std::string::npos);
}

TEST(Manifest, RefusesAMissingMisplacedOrBadSignature) {
  const std::size_t signature_line = kGood.find("signature");
  EXPECT_NE(parse_error(kGood.substr(0, signature_line)).find("before its signature line"), std::string::npos);
  EXPECT_NE(parse_error(kGood + "x\n").find("line 5: text after the signature line"), std::string::npos);
  EXPECT_NE(parse_error(kGood.substr(0, kGood.size() - 1)).find("line 4: does not end in a line feed"),
            std::string::npos);
  EXPECT_NE(parse_error(kGood.substr(0, kGood.size() - 3) + "\n").find("line 4: the signature"), std::string::npos);
  std::string list_after = "tolvex-manifest 1\nsignature " + kSignature + "\n";
  EXPECT_NE(parse_error(list_after).find("line 2:"), std::string::npos);
}

TEST(Manifest, RefusesTooLongATextAndTooManyArchives) {
  std::string text = "tolvex-manifest 1\nlist update.txt " + kHash + "\n";
  for (std::size_t i = 0; i <= kManifestMaxArchives; ++i)
    text += "archive a" + std::to_string(i) + ".lzh " + kHash + "\n";
  EXPECT_NE(parse_error(text + "signature " + kSignature + "\n").find("more than 64 archives"), std::string::npos);
  EXPECT_NE(parse_error(kGood + std::string(kManifestMaxSize, '\n')).find("longer than"), std::string::npos);
}

TEST(PublicKeyText, ReadsWhatItWritesAndNothingElse) {
  PublicKey key{};
  key[0] = 0x12;
  key[63] = 0xEF;
  const std::string text = format_public_key(key);
  EXPECT_EQ(text.size(), 129u);
  PublicKey read{};
  std::string error;
  ASSERT_TRUE(parse_public_key(text.data(), text.size(), read, error));
  EXPECT_EQ(read, key);
  EXPECT_TRUE(parse_public_key(text.data(), text.size() - 1, read, error));  // without the LF
  for (std::string bad : {text.substr(1), text + "\n", "04" + text, std::string(text).replace(0, 1, "A")})
    EXPECT_FALSE(parse_public_key(bad.data(), bad.size(), read, error)) << bad;
}

}  // namespace
}  // namespace tolvex::trust
