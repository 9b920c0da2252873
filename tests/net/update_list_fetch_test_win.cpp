// fetch_update_list under Wine against the local server: the request it sends, what it keeps,
// what it reports, and every way it fails; both transfers over https against local TLS servers.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "base/errors.h"
#include "catalogue/update_list.h"
#include "net/http_body.h"
#include "net/transfer_test_fixture.h"
#include "net/update_transfers.h"

namespace tolvex {
namespace {

using testing::binary_body;
using testing::list_body;
using testing::ProgressRecorder;
using testing::read_file;
using testing::TestHttpServer;

const std::string kListText = "アップデート情報を取得しています。";

class UpdateListFetch : public testing::TransferTest {
 protected:
  void SetUp() override {
    TransferTest::SetUp();
    replace_update_list_text(nullptr);
  }
  // Fetches a first list successfully, so that a failure can be seen to keep it.
  void fetch_first_list(const std::string& text) {
    serve("first.txt", text);
    use_settings(server.url(folder), "first.txt");
    ASSERT_EQ(fetch_update_list(nullptr), 1);
    ASSERT_EQ(std::string(update_list_text()), text);
  }
};

TEST_F(UpdateListFetch, StoresTheListAndReportsAfterEveryChunk) {
  const std::string body = list_body(2500);
  serve("update.txt", body);
  use_server_folder();
  set_last_error(kErrorNoFileAtUrl);

  EXPECT_EQ(fetch_update_list(&ProgressRecorder::callback), 1);
  EXPECT_EQ(std::string(update_list_text()), body);
  EXPECT_EQ(last_error(), kErrorNoFileAtUrl);  // a success clears nothing
  ASSERT_EQ(reports().size(), 3u);
  const std::uint32_t done[] = {1023, 2046, 2500};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(reports()[i].code, 3004);
    EXPECT_EQ(reports()[i].done, done[i]);
    EXPECT_EQ(reports()[i].total, 2500u);
    EXPECT_EQ(reports()[i].text, kListText);
  }
}

TEST_F(UpdateListFetch, SendsOneGetWithTheListHeaders) {
  serve("update.txt", "A&1\r\n");
  use_server_folder();
  ASSERT_EQ(fetch_update_list(nullptr), 1);

  const auto requests = server.requests_for(folder + "update.txt");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].header_values("Accept"), std::vector<std::string>{"text/*"});
  EXPECT_EQ(requests[0].header_values("Host"), std::vector<std::string>{"127.0.0.1:" + std::to_string(server.port())});
  // The session's agent and the added line compete; the HTTP layer picks one.
  const auto agents = requests[0].header_values("User-Agent");
  ASSERT_EQ(agents.size(), 1u);
  EXPECT_TRUE(agents[0] == "TOLVEX.EXE" || agents[0] == "QM DOWNLOAD") << agents[0];
}

TEST_F(UpdateListFetch, ReadsTheSettingsAfreshOnEveryCall) {
  serve("one.txt", "ONE&1\r\n");
  serve("two.txt", "TWO&2\r\n");
  use_settings(server.url(folder), "one.txt");
  ASSERT_EQ(fetch_update_list(nullptr), 1);
  EXPECT_STREQ(update_list_text(), "ONE&1\r\n");
  settings->set("name", "two.txt");
  ASSERT_EQ(fetch_update_list(nullptr), 1);
  EXPECT_STREQ(update_list_text(), "TWO&2\r\n");
}

TEST_F(UpdateListFetch, UrlWithoutTrailingSlashGluesTheNameOn) {
  use_settings(server.url(folder + "aupd"));
  EXPECT_EQ(fetch_update_list(nullptr), 0);
  EXPECT_EQ(last_error(), kErrorNoFileAtUrl);
  EXPECT_EQ(server.requests_for(folder + "aupdupdate.txt").size(), 1u);
}

TEST_F(UpdateListFetch, RefusedStatusesKeepTheEarlierList) {
  struct Case {
    const char* modes;
    ErrorCode expected;
  };
  const Case cases[] = {
      {"404", kErrorNoFileAtUrl}, {"500", kErrorTransfer}, {"301", kErrorTransfer}, {"302", kErrorTransfer}};
  fetch_first_list("KEPT&1\r\n");
  serve("update.txt", "NEW&2\r\n");
  for (const Case& c : cases) {
    use_server_folder(c.modes);
    set_last_error(kErrorNone);
    EXPECT_EQ(fetch_update_list(&ProgressRecorder::callback), 0) << c.modes;
    EXPECT_EQ(last_error(), c.expected) << c.modes;
    EXPECT_STREQ(update_list_text(), "KEPT&1\r\n") << c.modes;
  }
  EXPECT_TRUE(reports().empty());
  // The redirections pointed at the real list; they were not followed.
  EXPECT_TRUE(server.requests_for(folder + "update.txt").empty());
}

TEST_F(UpdateListFetch, AbortReleasesTheNewTextAndKeepsTheOldOne) {
  fetch_first_list("KEPT&1\r\n");
  serve("update.txt", list_body(3000));
  use_server_folder();
  ProgressRecorder::reset(1);
  EXPECT_EQ(fetch_update_list(&ProgressRecorder::callback), 0);
  EXPECT_EQ(last_error(), kErrorAborted);
  EXPECT_EQ(reports().size(), 1u);
  EXPECT_STREQ(update_list_text(), "KEPT&1\r\n");
}

TEST_F(UpdateListFetch, NulByteEndsThatChunksContribution) {
  std::string body = list_body(2200);
  body[10] = '\0';    // cuts the rest of the first 1023-byte chunk
  body[1500] = '\0';  // and the rest of the second
  serve("update.txt", body);
  use_server_folder();
  ASSERT_EQ(fetch_update_list(&ProgressRecorder::callback), 1);
  EXPECT_EQ(std::string(update_list_text()), body.substr(0, 10) + body.substr(1023, 1500 - 1023) + body.substr(2046));
  ASSERT_FALSE(reports().empty());
  EXPECT_EQ(reports().back().done, 2200u);  // the bytes received, NULs and all
}

TEST_F(UpdateListFetch, ListWithoutLengthIsGrownToFitAndReportsTotalZero) {
  const std::string body = list_body(5000);
  serve("update.txt", body);
  use_server_folder("nolength");
  ASSERT_EQ(fetch_update_list(&ProgressRecorder::callback), 1);
  EXPECT_EQ(std::string(update_list_text()), body);
  ASSERT_EQ(reports().size(), 5u);
  for (const auto& report : reports()) EXPECT_EQ(report.total, 0u);
  EXPECT_EQ(reports().back().done, 5000u);
}

TEST_F(UpdateListFetch, NegativeLengthIsTreatedAsNoLength) {
  const std::string body = list_body(3000);
  serve("update.txt", body);
  use_server_folder("announce=-5");
  ASSERT_EQ(fetch_update_list(&ProgressRecorder::callback), 1);
  EXPECT_EQ(std::string(update_list_text()), body);
  ASSERT_FALSE(reports().empty());
  for (const auto& report : reports()) EXPECT_EQ(report.total, 0u);
}

TEST_F(UpdateListFetch, SlowTrickleArrivesWhole) {
  const std::string body = list_body(3000);
  serve("update.txt", body);
  use_server_folder("trickle=400:5");
  ASSERT_EQ(fetch_update_list(&ProgressRecorder::callback), 1);
  EXPECT_EQ(std::string(update_list_text()), body);
  std::uint32_t previous = 0;
  for (const auto& report : reports()) {
    EXPECT_GT(report.done, previous);
    EXPECT_LE(report.done - previous, 1023u);
    previous = report.done;
  }
  EXPECT_EQ(previous, 3000u);
}

TEST_F(UpdateListFetch, BodyCutShortOfItsLengthIsNotAList) {
  fetch_first_list("KEPT&1\r\n");
  serve("update.txt", list_body(3000));
  use_server_folder("short=1500");
  EXPECT_EQ(fetch_update_list(nullptr), 0);
  EXPECT_EQ(last_error(), kErrorTransfer);
  EXPECT_STREQ(update_list_text(), "KEPT&1\r\n");
}

TEST_F(UpdateListFetch, ListLargerThanTheCapFailsWithOutOfMemory) {
  fetch_first_list("KEPT&1\r\n");
  serve("update.txt", list_body(kMaxUpdateListBytes + 10));
  for (const char* modes : {"nolength", ""}) {  // found while growing; announced up front
    use_server_folder(modes);
    set_last_error(kErrorNone);
    EXPECT_EQ(fetch_update_list(nullptr), 0) << modes;
    EXPECT_EQ(last_error(), kErrorOutOfMemory) << modes;
    EXPECT_STREQ(update_list_text(), "KEPT&1\r\n") << modes;
  }
  // Every chunk led by a NUL keeps nothing, but the bytes still count.
  serve("update.txt", std::string(kMaxUpdateListBytes, '\0'));
  use_server_folder("nolength");
  EXPECT_EQ(fetch_update_list(nullptr), 0);
  EXPECT_EQ(last_error(), kErrorOutOfMemory);
  EXPECT_STREQ(update_list_text(), "KEPT&1\r\n");
}

TEST_F(UpdateListFetch, UnusableUrlsFailBeforeAnythingIsSent) {
  const std::string port = std::to_string(server.port());
  const std::string urls[] = {"ftp://127.0.0.1:" + port + folder, "not a url/", "file:///C:/temp/"};
  fetch_first_list("KEPT&1\r\n");
  const std::size_t before = server.requests().size();
  for (const std::string& url : urls) {
    use_settings(url);
    set_last_error(kErrorNone);
    EXPECT_EQ(fetch_update_list(nullptr), 0) << url;
    EXPECT_EQ(last_error(), kErrorTransfer) << url;
  }
  EXPECT_EQ(server.requests().size(), before);
  EXPECT_STREQ(update_list_text(), "KEPT&1\r\n");
}

TEST_F(UpdateListFetch, HttpsUrlIsFetchedOverTls) {
  // The local server speaks plain HTTP, so the handshake fails; what matters is that the
  // request was attempted over TLS on the URL's port and never sent in the clear.
  const std::size_t hellos_before = server.tls_client_hellos();
  use_settings("https://127.0.0.1:" + std::to_string(server.port()) + folder);
  EXPECT_EQ(fetch_update_list(nullptr), 0);
  EXPECT_EQ(last_error(), kErrorTransfer);
  EXPECT_GT(server.tls_client_hellos(), hellos_before);
  EXPECT_TRUE(server.requests_for(folder + "update.txt").empty());
}

TEST_F(UpdateListFetch, RefusedConnectionIsATransferFailure) {
  use_settings("http://127.0.0.1:" + std::to_string(testing::closed_loopback_port()) + "/");
  EXPECT_EQ(fetch_update_list(nullptr), 0);
  EXPECT_EQ(last_error(), kErrorTransfer);
}

// The https servers the rig started: "trusted" holds a certificate for localhost from the CA the
// rig's prefix trusts; the others one from a CA nobody trusts, one that has expired and one for
// another host name.
class HttpsTransfer : public UpdateListFetch {
 protected:
  // The https server with `certificate`, holding a list and an archive in this test's folder.
  TestHttpServer https_server(const char* certificate) {
    TestHttpServer https("TOLVEX_HTTPS_DIR", certificate);
    EXPECT_TRUE(https.ok()) << "TOLVEX_HTTPS_DIR names no running " << certificate << " server";
    https.put_file(folder + "update.txt", "NEW&2\r\n");
    https.put_file(folder + "STABLON.lzh", binary_body(3000));
    return https;
  }
};

TEST_F(HttpsTransfer, TrustedCertificateCarriesTheListAndTheArchive) {
  const TestHttpServer https = https_server("trusted");
  use_settings(https.https_url(folder));
  ASSERT_EQ(fetch_update_list(nullptr), 1);
  EXPECT_STREQ(update_list_text(), "NEW&2\r\n");
  ASSERT_EQ(download_file("STABLON.lzh", nullptr), 1);
  EXPECT_EQ(read_file("STABLON.lzh"), binary_body(3000));
  // That server speaks nothing but TLS.
  const auto requests = https.requests_for(folder + "update.txt");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].header_values("Host"), std::vector<std::string>{"localhost:" + std::to_string(https.port())});
  EXPECT_EQ(https.requests_for(folder + "STABLON.lzh").size(), 1u);
}

TEST_F(HttpsTransfer, CertificateTheRootsDoNotVouchForIsATransferFailure) {
  fetch_first_list("KEPT&1\r\n");
  for (const char* certificate : {"untrusted", "expired", "wronghost"}) {
    SCOPED_TRACE(certificate);
    const TestHttpServer https = https_server(certificate);
    const std::size_t connections_before = https.tls_connections();
    use_settings(https.https_url(folder));
    set_last_error(kErrorNone);
    EXPECT_EQ(fetch_update_list(&ProgressRecorder::callback), 0);
    EXPECT_EQ(last_error(), kErrorTransfer);
    EXPECT_STREQ(update_list_text(), "KEPT&1\r\n");
    set_last_error(kErrorNone);
    EXPECT_EQ(download_file("STABLON.lzh", &ProgressRecorder::callback), 0);
    EXPECT_EQ(last_error(), kErrorTransfer);
    EXPECT_EQ(GetFileAttributesA("STABLON.lzh"), INVALID_FILE_ATTRIBUTES);
    // The server was reached, and no request got past its certificate.
    EXPECT_GT(https.tls_connections(), connections_before);
    EXPECT_TRUE(https.requests_for(folder + "update.txt").empty());
    EXPECT_TRUE(https.requests_for(folder + "STABLON.lzh").empty());
  }
  EXPECT_TRUE(reports().empty());
}

}  // namespace
}  // namespace tolvex
