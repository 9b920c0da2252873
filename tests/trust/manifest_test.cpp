// The manifest and public key texts: what the writer writes reads back, and each way a text can
// be malformed is refused with the line it is on.
#include <gtest/gtest.h>

#include <string>

#include "trust/manifest.h"
#include "trust/text_forms.h"

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
  manifest.format = 1;
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

const std::string kGood2 = "tolvex-manifest 2\nserial 12\nexpires 2028-02-29T23:59:59Z\nlist update.txt " + kHash +
                           "\narchive plo.lzh 48213 " + kHash + "\nsignature " + kSignature + "\n";

TEST(Manifest, Format2CarriesSerialExpiryAndSizesAndWritesBackByteForByte) {
  ParsedManifest parsed;
  std::string error, body;
  ASSERT_TRUE(parse_manifest(kGood2.data(), kGood2.size(), parsed, error)) << error;
  EXPECT_EQ(parsed.manifest.format, 2);
  EXPECT_EQ(parsed.manifest.serial, 12u);
  ASSERT_TRUE(parsed.manifest.expires);
  EXPECT_EQ(parsed.manifest.expires_at, 1835481599);  // 2028-02-29T23:59:59Z
  EXPECT_EQ(parsed.manifest.list.size, -1);
  EXPECT_EQ(parsed.manifest.archives.at(0).size, 48213);
  ASSERT_TRUE(write_manifest_body(parsed.manifest, body, error)) << error;
  EXPECT_EQ(append_signature_line(body, parsed.signature), kGood2);

  std::string no_expiry = kGood2;
  no_expiry.erase(no_expiry.find("expires"), 29);
  ASSERT_TRUE(parse_manifest(no_expiry.data(), no_expiry.size(), parsed, error)) << error;
  EXPECT_FALSE(parsed.manifest.expires);

  ASSERT_TRUE(parse_manifest(kGood.data(), kGood.size(), parsed, error)) << error;  // format 1 is still read
  EXPECT_EQ(parsed.manifest.format, 1);
  EXPECT_EQ(parsed.manifest.serial, 0u);
  EXPECT_EQ(parsed.manifest.archives.at(0).size, -1);
}

TEST(Manifest, Format2RefusesBadSerialsExpiriesAndSizes) {
  auto with = [](const char* from, const char* to) {
    std::string text = kGood2;
    return text.replace(text.find(from), std::string(from).size(), to);
  };
  for (const char* serial :
       {"serial 0", "serial 012", "serial -1", "serial 1x", "serial 1234567890123456789", "serial"})
    EXPECT_NE(parse_error(with("serial 12", serial)).find("line 2: expected \"serial N\""), std::string::npos)
        << serial;
  for (const char* time : {"2027-02-29T00:00:00Z", "2028-13-01T00:00:00Z", "2028-01-01T24:00:00Z",
                           "2028-01-01 00:00:00Z", "2028-01-01T00:00:00+09:00", "1969-12-31T23:59:59Z"})
    EXPECT_NE(parse_error(with("2028-02-29T23:59:59Z", time)).find("line 3: expected \"expires"), std::string::npos)
        << time;
  for (const char* size : {"plo.lzh 048213", "plo.lzh 2147483648", "plo.lzh -5", "plo.lzh"})
    EXPECT_NE(parse_error(with("plo.lzh 48213", size)).find("line 5:"), std::string::npos) << size;
  std::string sized_format1 = kGood;
  sized_format1.replace(sized_format1.find("plo.lzh"), 7, "plo.lzh 5");
  EXPECT_NE(parse_error(sized_format1).find("line 3:"), std::string::npos);
  EXPECT_NE(parse_error(with("serial 12\n", "")).find("line 2: expected \"serial N\""), std::string::npos);

  std::string body, error;
  Manifest unnumbered;
  unnumbered.list = {"update.txt", {}};
  EXPECT_FALSE(write_manifest_body(unnumbered, body, error));  // format 2 needs a serial
}

TEST(Manifest, WriterRefusesNamesItCannotHold) {
  std::string body, error;
  EXPECT_FALSE(write_manifest_body({1, 0, false, 0, {"a/b.txt", {}}, {}}, body, error));
  EXPECT_FALSE(write_manifest_body({1, 0, false, 0, {"update.txt", {}}, {{"update.txt", {}}}}, body, error));
  EXPECT_NE(error.find("named twice"), std::string::npos) << error;
}

TEST(Manifest, RefusesAnotherFormatOrVersion) {
  EXPECT_NE(parse_error("tolvex-manifest 3" + kGood.substr(17)).find("line 1:"), std::string::npos);
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
