// The transfers of a keyed build under Wine: real signatures (the fixed test keys, CNG on both
// sides) against the local server. A list is kept only with a manifest that one of the keys
// signed and that gives the list's hash; an archive only when its bytes hash as the manifest says.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/error_code.h"
#include "catalogue/update_list_text.h"
#include "fixtures/fixture_paths.h"
#include "net/signed_transfers.h"
#include "net/transfer_test_fixture.h"
#include "support/test_signer_win.h"
#include "trust/public_key_text.h"

namespace tolvex {
namespace {

using testing::binary_body;
using testing::ProgressRecorder;
using testing::read_file;
using testing::signed_manifest;
using testing::SignedFile;

trust::PublicKey test_key(const std::string& name) {
  const std::string text = read_file(testing::fixture_path("keys\\" + name + ".pub"));
  trust::PublicKey key{};
  std::string error;
  EXPECT_TRUE(trust::parse_public_key(text.data(), text.size(), key, error)) << error;
  return key;
}

bool exists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

class SignedTransfersTest : public testing::TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    replace_update_list_text(nullptr);
    use_server_folder();
  }
  // Serves a list, one archive and their manifest signed by `key`.
  void serve_release(const std::string& key) {
    serve("update.txt", list_);
    serve("plo.lzh", archive_);
    serve("update.txt.sig", signed_manifest(key, {"update.txt", list_}, {{"plo.lzh", archive_}}));
  }
  // Keeps a first signed release, so that a refusal can be seen to keep it.
  void keep_first_release() {
    serve_release("current");
    ASSERT_EQ(transfers_.fetch_update_list(nullptr), 1);
  }

  const std::string list_ = "plo.exe&2,00,2301,0100\r\n";
  const std::string archive_ = binary_body(5000);
  SignedTransfers transfers_{{test_key("current"), test_key("second")}};
};

TEST_F(SignedTransfersTest, ReleaseSignedByTheSecondKeyIsKeptAndItsArchiveStored) {
  serve_release("second");
  ASSERT_EQ(transfers_.fetch_update_list(&ProgressRecorder::callback), 1) << last_error();
  EXPECT_EQ(std::string(update_list_text()), list_);
  const auto manifest_requests = server.requests_for(folder + "update.txt.sig");
  ASSERT_EQ(manifest_requests.size(), 1u);
  EXPECT_EQ(manifest_requests[0].header_values("User-Agent"), std::vector<std::string>{"TOLVEX.EXE"});
  ASSERT_EQ(reports().size(), 2u);  // one for the list, one for the manifest
  EXPECT_EQ(reports()[1].text, "アップデート情報を取得しています。");

  ASSERT_EQ(transfers_.download_file("plo.lzh", nullptr), 1) << last_error();
  EXPECT_EQ(read_file("plo.lzh"), archive_);
}

TEST_F(SignedTransfersTest, ListIsRefusedWithoutAManifestThatVouchesForIt) {
  keep_first_release();
  struct Case {
    const char* what;
    std::string manifest;  // empty: none on the server (the list goes by another name then)
    std::string list;
    ErrorCode expected;
  };
  std::string edited = signed_manifest("current", {"update.txt", list_}, {{"plo.lzh", archive_}});
  edited[edited.find("archive plo.lzh ") + 16] ^= 1;  // a hash changed after signing
  const std::vector<Case> cases = {
      {"no manifest", "", list_, kErrorManifestFetch},
      {"a changed list", signed_manifest("current", {"update.txt", list_}, {}), "plo.exe&9,00,2301,0100\r\n",
       kErrorBadSignature},
      {"a retired key", signed_manifest("retired", {"update.txt", list_}, {}), list_, kErrorBadSignature},
      {"a changed manifest", edited, list_, kErrorBadSignature},
      {"another list's manifest", signed_manifest("current", {"beta.txt", list_}, {}), list_, kErrorBadSignature},
      {"an oversized manifest", std::string(20000, 'x'), list_, kErrorBadSignature},
  };
  for (const Case& c : cases) {
    const std::string list_name = c.manifest.empty() ? "unsigned.txt" : "update.txt";
    use_settings(server.url(folder), list_name);
    serve(list_name, c.list);
    if (!c.manifest.empty()) serve(list_name + ".sig", c.manifest);
    EXPECT_EQ(transfers_.fetch_update_list(nullptr), 0) << c.what;
    EXPECT_EQ(last_error(), c.expected) << c.what;
    EXPECT_EQ(std::string(update_list_text()), list_) << c.what;
  }
  // The first release's manifest is still the one archives are checked against.
  serve("plo.lzh", archive_);
  EXPECT_EQ(transfers_.download_file("plo.lzh", nullptr), 1);
}

TEST_F(SignedTransfersTest, ArchiveNotAsSignedIsDeletedAndOneNotNamedIsNotRequested) {
  keep_first_release();
  std::string tampered = archive_;
  tampered[4000] ^= 0x20;
  serve("plo.lzh", tampered);
  EXPECT_EQ(transfers_.download_file("plo.lzh", &ProgressRecorder::callback), 0);
  EXPECT_EQ(last_error(), kErrorArchiveNotSigned);
  EXPECT_FALSE(exists("plo.lzh"));
  EXPECT_EQ(reports().size(), 5u);  // downloaded with progress before the check

  serve("nuri.lzh", archive_);
  EXPECT_EQ(transfers_.download_file("nuri.lzh", nullptr), 0);
  EXPECT_EQ(last_error(), kErrorArchiveNotSigned);
  EXPECT_TRUE(server.requests_for(folder + "nuri.lzh").empty());
  EXPECT_FALSE(exists("nuri.lzh"));

  SignedTransfers fresh({test_key("current")});  // no list kept yet: nothing is signed
  EXPECT_EQ(fresh.download_file("plo.lzh", nullptr), 0);
  EXPECT_EQ(last_error(), kErrorArchiveNotSigned);
}

}  // namespace
}  // namespace tolvex
