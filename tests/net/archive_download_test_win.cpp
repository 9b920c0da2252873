// download_file under Wine against the local server: the file it leaves, what it reports, and
// every way it fails.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/errors.h"
#include "net/transfer_test_fixture.h"
#include "net/update_transfers.h"

namespace tolvex {
namespace {

using testing::binary_body;
using testing::ProgressRecorder;
using testing::read_file;
using testing::write_file;

const std::string kDownloadText = "STABLON.lzhをダウンロードしています。";

class ArchiveDownload : public testing::TransferTest {};

TEST_F(ArchiveDownload, StoresTheBodyAndReportsAfterEveryChunk) {
  const std::string body = binary_body(5000);
  serve("STABLON.lzh", body);
  use_server_folder();
  set_last_error(kErrorNoFileAtUrl);

  EXPECT_EQ(download_file("STABLON.lzh", &ProgressRecorder::callback), 1);
  EXPECT_EQ(read_file("STABLON.lzh"), body);
  EXPECT_EQ(last_error(), kErrorNoFileAtUrl);
  ASSERT_EQ(reports().size(), 5u);
  const std::uint32_t done[] = {1023, 2046, 3069, 4092, 5000};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(reports()[i].code, 3004);
    EXPECT_EQ(reports()[i].done, done[i]);
    EXPECT_EQ(reports()[i].total, 5000u);
    EXPECT_EQ(reports()[i].text, kDownloadText);
  }
  // The archive request is a plain GET without the list's header lines.
  const auto requests = server.requests_for(folder + "STABLON.lzh");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_TRUE(requests[0].header_values("Accept").empty());
}

TEST_F(ArchiveDownload, ExistingFileIsTruncatedAndWrittenAnew) {
  write_file("STABLON.lzh", std::string(9000, 'o'));
  serve("STABLON.lzh", "new archive");
  use_server_folder();
  ASSERT_EQ(download_file("STABLON.lzh", nullptr), 1);
  EXPECT_EQ(read_file("STABLON.lzh"), "new archive");
}

TEST_F(ArchiveDownload, LargeSlowBodyArrivesWhole) {
  const std::string body = binary_body(200000);
  serve("STABLON.lzh", body);
  use_server_folder("trickle=16384:2");
  ASSERT_EQ(download_file("STABLON.lzh", &ProgressRecorder::callback), 1);
  EXPECT_EQ(read_file("STABLON.lzh"), body);
  std::uint32_t previous = 0;
  for (const auto& report : reports()) {
    EXPECT_LE(report.done - previous, 1023u);
    previous = report.done;
  }
  EXPECT_EQ(previous, 200000u);
}

TEST_F(ArchiveDownload, BodyWithoutLengthIsStoredWholeWithTotalZero) {
  const std::string body = binary_body(3000);
  serve("STABLON.lzh", body);
  use_server_folder("nolength");
  ASSERT_EQ(download_file("STABLON.lzh", &ProgressRecorder::callback), 1);
  EXPECT_EQ(read_file("STABLON.lzh"), body);
  ASSERT_EQ(reports().size(), 3u);
  for (const auto& report : reports()) EXPECT_EQ(report.total, 0u);
}

TEST_F(ArchiveDownload, EveryStatusButOkFailsWithoutCreatingTheFile) {
  serve("STABLON.lzh", binary_body(100));
  for (const char* modes : {"404", "500", "301", "302"}) {
    use_server_folder(modes);
    set_last_error(kErrorNone);
    EXPECT_EQ(download_file("STABLON.lzh", &ProgressRecorder::callback), 0) << modes;
    EXPECT_EQ(last_error(), kErrorTransfer) << modes;
    EXPECT_FALSE(std::filesystem::exists("STABLON.lzh")) << modes;
  }
  EXPECT_TRUE(reports().empty());
  EXPECT_TRUE(server.requests_for(folder + "STABLON.lzh").empty());  // redirections not followed
}

TEST_F(ArchiveDownload, AbortAtTheFirstChunkLeavesExactlyThatChunk) {
  const std::string body = binary_body(50000);
  serve("STABLON.lzh", body);
  use_server_folder();
  ProgressRecorder::reset(1);
  EXPECT_EQ(download_file("STABLON.lzh", &ProgressRecorder::callback), 0);
  EXPECT_EQ(last_error(), kErrorAborted);
  ASSERT_EQ(reports().size(), 1u);
  EXPECT_LE(reports()[0].done, 1023u);
  EXPECT_EQ(read_file("STABLON.lzh"), body.substr(0, reports()[0].done));
}

TEST_F(ArchiveDownload, AbortLaterLeavesExactlyTheBytesReported) {
  const std::string body = binary_body(200000);
  serve("STABLON.lzh", body);
  use_server_folder();
  ProgressRecorder::reset(70);  // past the first 64 KiB block
  EXPECT_EQ(download_file("STABLON.lzh", &ProgressRecorder::callback), 0);
  EXPECT_EQ(last_error(), kErrorAborted);
  ASSERT_EQ(reports().size(), 70u);
  EXPECT_EQ(read_file("STABLON.lzh"), body.substr(0, reports().back().done));
}

TEST_F(ArchiveDownload, BodyCutShortOfItsLengthIsAFailedTransfer) {
  const std::string body = binary_body(5000);
  serve("STABLON.lzh", body);
  use_server_folder("short=2000");
  EXPECT_EQ(download_file("STABLON.lzh", &ProgressRecorder::callback), 0);
  EXPECT_EQ(last_error(), kErrorTransfer);
  EXPECT_EQ(read_file("STABLON.lzh"), body.substr(0, 2000));  // what arrived stays, closed
}

TEST_F(ArchiveDownload, FileThatCannotBeCreatedFailsWith2011) {
  serve("STABLON.lzh", binary_body(100));
  use_server_folder();
  std::filesystem::create_directory("STABLON.lzh");
  EXPECT_EQ(download_file("STABLON.lzh", nullptr), 0);
  EXPECT_EQ(last_error(), kErrorSaveFileOpen);
}

TEST_F(ArchiveDownload, ReadOnlyFileIsNotOverwritten) {
  serve("STABLON.lzh", binary_body(100));
  use_server_folder();
  write_file("STABLON.lzh", "old");
  ASSERT_TRUE(SetFileAttributesA("STABLON.lzh", FILE_ATTRIBUTE_READONLY));
  // Under Wine run by the Unix superuser the read-only mark does not stop writers.
  HANDLE probe = CreateFileA("STABLON.lzh", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    SetFileAttributesA("STABLON.lzh", FILE_ATTRIBUTE_NORMAL);
    GTEST_SKIP() << "read-only files are writable for this user";
  }
  set_last_error(kErrorNone);
  EXPECT_EQ(download_file("STABLON.lzh", nullptr), 0);
  EXPECT_EQ(last_error(), kErrorSaveFileOpen);
  EXPECT_EQ(read_file("STABLON.lzh"), "old");
  SetFileAttributesA("STABLON.lzh", FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ArchiveDownload, FullDiskFailsWith2012) {
  // CTest provides a folder whose FULL.lzh is a link to the Unix /dev/full: every write fails
  // with "no space left on the device".
  const char* folder_with_full_disk = std::getenv("TOLVEX_DISK_FULL_DIR");
  ASSERT_NE(folder_with_full_disk, nullptr);
  serve("FULL.lzh", binary_body(100000));
  use_server_folder();
  std::filesystem::current_path(testing::wine_path_of_unix_path(folder_with_full_disk));
  EXPECT_EQ(download_file("FULL.lzh", &ProgressRecorder::callback), 0);
  EXPECT_EQ(last_error(), kErrorSaveFileWrite);
  EXPECT_LT(reports().size(), 100u);  // the transfer ended at the failed write
  std::filesystem::current_path(work_dir.path());
}

TEST_F(ArchiveDownload, FullDiskIsNoticedEvenForASmallFile) {
  const char* folder_with_full_disk = std::getenv("TOLVEX_DISK_FULL_DIR");
  ASSERT_NE(folder_with_full_disk, nullptr);
  serve("FULL.lzh", "tiny");
  use_server_folder();
  std::filesystem::current_path(testing::wine_path_of_unix_path(folder_with_full_disk));
  EXPECT_EQ(download_file("FULL.lzh", nullptr), 0);
  EXPECT_EQ(last_error(), kErrorSaveFileWrite);
  std::filesystem::current_path(work_dir.path());
}

TEST_F(ArchiveDownload, UnusableUrlsAndRefusedConnectionsCreateNoFile) {
  const std::string port = std::to_string(server.port());
  const std::string urls[] = {"ftp://127.0.0.1:" + port + folder, "gopher://127.0.0.1/",
                              "http://127.0.0.1:" + std::to_string(testing::closed_loopback_port()) + "/"};
  const std::size_t before = server.requests().size();
  for (const std::string& url : urls) {
    use_settings(url);
    set_last_error(kErrorNone);
    EXPECT_EQ(download_file("STABLON.lzh", nullptr), 0) << url;
    EXPECT_EQ(last_error(), kErrorTransfer) << url;
    EXPECT_FALSE(std::filesystem::exists("STABLON.lzh")) << url;
  }
  EXPECT_EQ(server.requests().size(), before);
}

TEST_F(ArchiveDownload, HttpsUrlIsFetchedOverTls) {
  const std::size_t hellos_before = server.tls_client_hellos();
  use_settings("https://127.0.0.1:" + std::to_string(server.port()) + folder);
  EXPECT_EQ(download_file("STABLON.lzh", nullptr), 0);
  EXPECT_EQ(last_error(), kErrorTransfer);
  EXPECT_GT(server.tls_client_hellos(), hellos_before);
  EXPECT_FALSE(std::filesystem::exists("STABLON.lzh"));
}

}  // namespace
}  // namespace tolvex
