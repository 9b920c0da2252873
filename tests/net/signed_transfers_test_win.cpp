// The transfers of a keyed build under Wine: real signatures (the fixed test keys, CNG on both
// sides) against the local server. A list is kept only with a manifest that one of the keys
// signed and that gives the list's hash; an archive only when its bytes hash as the manifest says.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "catalogue/update_list.h"
#include "fixtures/fixture_paths.h"
#include "net/signed_transfers_win.h"
#include "net/transfer_test_fixture.h"
#include "settings/settings.h"
#include "support/test_signer_win.h"
#include "trust/text_forms.h"
#include "win/process_win.h"

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
  void serve_release(const std::string& key, const testing::ReleaseStamp& stamp = {}) {
    serve("update.txt", list_);
    serve("plo.lzh", archive_);
    serve("update.txt.sig", signed_manifest(key, {"update.txt", list_}, {{"plo.lzh", archive_}}, stamp));
  }
  // Keeps a first signed release, so that a refusal can be seen to keep it.
  void keep_first_release() {
    serve_release("current");
    ASSERT_EQ(transfers_.fetch_update_list(nullptr), 1);
  }

  std::string list_ = "plo.exe&2,00,2301,0100\r\n";
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
  edited[edited.find('\n', edited.find("archive plo.lzh ")) - 1] ^= 1;  // a hash changed after signing
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

TEST_F(SignedTransfersTest, OlderOrExpiredReleaseIsRefusedAndTheHighestSerialIsRemembered) {
  serve_release("current", {3});
  ASSERT_EQ(transfers_.fetch_update_list(nullptr), 1) << last_error();
  EXPECT_EQ(read_release_serial(), 3u);
  const std::string kept = update_list_text();
  list_ = "plo.exe&1,00,1,0000\r\n";
  struct Case {
    const char* what;
    testing::ReleaseStamp stamp;
    ErrorCode expected;  // kErrorNone: accepted
  };
  const std::int64_t now = utc_now();
  for (const Case& c :
       {Case{"a lower serial", {2}, kErrorOlderRelease}, Case{"format 1 after format 2", {0}, kErrorOlderRelease},
        Case{"expired a minute ago", {4, now - 60}, kErrorReleaseExpired},
        Case{"the same release again", {3}, kErrorNone},
        Case{"a higher serial, expiring in an hour", {4, now + 3600}, kErrorNone}}) {
    serve_release("current", c.stamp);
    set_last_error(kErrorNone);
    EXPECT_EQ(transfers_.fetch_update_list(nullptr), c.expected == kErrorNone ? 1 : 0) << c.what;
    EXPECT_EQ(last_error(), c.expected) << c.what;
    EXPECT_EQ(std::string(update_list_text()), c.expected == kErrorNone ? list_ : kept) << c.what;
  }
  EXPECT_EQ(read_release_serial(), 4u);
}

// An administrator who elevates the updater for another user has a profile of their own, which
// may never have seen a release: the machine's record, kept by copies with administrator rights
// (every copy under Wine), holds the floor for every copy.
TEST_F(SignedTransfersTest, TheMachinesHighestSerialIsAFloorForEveryUser) {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Halvorn");
  ASSERT_TRUE(process_elevated()) << "the machine's record is written by a copy with administrator rights";
  serve_release("current", {0});  // format 1: no serial to judge, never installed so
  EXPECT_EQ(transfers_.fetch_update_list(nullptr), 0);
  EXPECT_EQ(last_error(), kErrorOlderRelease);
  ASSERT_TRUE(write_machine_release_serial(5));
  for (const std::uint64_t serial : {4, 6}) {
    serve_release("current", {serial});
    set_last_error(kErrorNone);
    EXPECT_EQ(transfers_.fetch_update_list(nullptr), serial > 5 ? 1 : 0) << serial;
    EXPECT_EQ(last_error(), serial > 5 ? kErrorNone : kErrorOlderRelease) << serial;
  }
  EXPECT_EQ(read_machine_release_serial(), 6u);
  EXPECT_EQ(read_release_serial(), 6u);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Halvorn");
}

TEST_F(SignedTransfersTest, ArchiveNotReceivedWholeAndAsSignedLeavesNothing) {
  keep_first_release();
  struct Case {
    const char* what;
    std::string modes;
    std::string served;
    std::size_t abort_at_report;
    ErrorCode expected;
  };
  for (const Case& c :
       {Case{"longer than signed, no length", "nolength", archive_ + binary_body(300000), 0, kErrorArchiveNotSigned},
        Case{"another length announced", "announce=4999", archive_, 0, kErrorArchiveNotSigned},
        Case{"aborted", "", archive_, 2, kErrorAborted},
        Case{"cut short", "short=3000", archive_, 0, kErrorTransfer}}) {
    serve("plo.lzh", c.served);
    use_server_folder(c.modes);
    ProgressRecorder::reset(c.abort_at_report);
    EXPECT_EQ(transfers_.download_file("plo.lzh", &ProgressRecorder::callback), 0) << c.what;
    EXPECT_EQ(last_error(), c.expected) << c.what;
    EXPECT_FALSE(exists("plo.lzh")) << c.what;
    // Progress is reported after each slice is written: nothing past the signed size was.
    if (!reports().empty()) {
      EXPECT_LE(reports().back().done, archive_.size()) << c.what;
    }
    if (c.modes.rfind("announce", 0) == 0) {
      EXPECT_TRUE(reports().empty()) << c.what;
    }
  }
}

TEST_F(SignedTransfersTest, HeldArchiveCannotChangeUntilReleasedAndAChangedOneIsNotHeld) {
  keep_first_release();
  ASSERT_EQ(transfers_.download_file("plo.lzh", nullptr), 1) << last_error();
  ArchiveGuard* guard = transfers_.archive_guard();
  ASSERT_NE(guard, nullptr);
  ASSERT_TRUE(guard->hold("plo.lzh"));
  EXPECT_EQ(CreateFileA("plo.lzh", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_FALSE(MoveFileA("plo.lzh", "moved.lzh"));
  EXPECT_FALSE(DeleteFileA("plo.lzh"));
  EXPECT_EQ(read_file("plo.lzh"), archive_);  // readers, the archive library among them, may open it
  guard->release();

  std::string changed = archive_;
  changed[10] ^= 1;
  testing::write_file("plo.lzh", changed);
  EXPECT_FALSE(guard->hold("plo.lzh"));
  EXPECT_TRUE(DeleteFileA("plo.lzh"));  // a refused archive is not held
  EXPECT_FALSE(guard->hold("nuri.lzh"));
}

}  // namespace
}  // namespace tolvex
