// The platform-free pieces of the transfers: the announced length, the growing list text, the
// slicing of large reads into report slices, the pace of reads, and the archive file's write
// checks.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "net/http_body.h"
#include "net/update_transfers.h"
#include "support/temp_dir.h"

namespace tolvex {
namespace {

TEST(ReadPacer, AsksForWhatTheLineDeliversInFiftyMillisecondsWithinTheBlockAndWhatHasArrived) {
  constexpr std::size_t kBlock = 65472;
  ReadPacer pacer;
  pacer.start(1000);
  EXPECT_EQ(pacer.request(kBlock, 400), 400u);  // no rate yet: what has arrived
  EXPECT_EQ(pacer.request(kBlock, 0), kBlock);  // nothing known at all: a whole block, as always
  pacer.received(400, 1015);                    // a trickle: 400 bytes per 15 ms
  EXPECT_EQ(pacer.request(kBlock, 0), 1333u);
  EXPECT_EQ(pacer.request(kBlock, 2000), 2000u);  // never less than what is already there
  pacer.received(8192, 1015);                     // a fast line, within one clock tick
  EXPECT_EQ(pacer.request(kBlock, 8192), kBlock);
  pacer.received(100, 2015);  // it slowed down: small reads again
  EXPECT_EQ(pacer.request(kBlock, 0), 5u);
  pacer.received(10, 3015);  // slower than a byte per pace: single bytes, or what has arrived
  EXPECT_EQ(pacer.request(kBlock, 0), 1u);
  EXPECT_EQ(pacer.request(kBlock, 16), 16u);
}

TEST(AnnouncedLength, ReadsLeadingDigitsLikeAtol) {
  EXPECT_EQ(parse_announced_length("1234"), 1234);
  EXPECT_EQ(parse_announced_length("  \t42"), 42);
  EXPECT_EQ(parse_announced_length("+7"), 7);
  EXPECT_EQ(parse_announced_length("-5"), -5);
  EXPECT_EQ(parse_announced_length("12abc"), 12);
  EXPECT_EQ(parse_announced_length(""), 0);
  EXPECT_EQ(parse_announced_length("abc"), 0);
  EXPECT_EQ(parse_announced_length("99999999999999"), 2147483647);
  EXPECT_EQ(parse_announced_length("-99999999999999"), -2147483647 - 1);
}

TEST(ListTextBuilder, EachChunkContributesUpToItsFirstNul) {
  ListTextBuilder text;
  ASSERT_TRUE(text.reserve(12));
  ASSERT_TRUE(text.append_chunk("abc\0def", 7));
  ASSERT_TRUE(text.append_chunk("gh", 2));
  ASSERT_TRUE(text.append_chunk("\0ignored", 8));
  EXPECT_STREQ(text.text(), "abcgh");
  EXPECT_EQ(text.length(), 5u);
}

TEST(ListTextBuilder, GrowsPastTheAnnouncedSizeUpToTheLimit) {
  ListTextBuilder text(64);
  ASSERT_TRUE(text.reserve(0));  // no length announced
  const std::string line = "FILE.DLL&2,00,2209,1800\r\n";
  ASSERT_TRUE(text.append_chunk(line.data(), line.size()));
  ASSERT_TRUE(text.append_chunk(line.data(), line.size()));
  EXPECT_EQ(std::string(text.text()), line + line);
  // 50 bytes held; 14 more would need 65 bytes with the terminator.
  EXPECT_TRUE(text.append_chunk("0123456789abc", 13));
  EXPECT_FALSE(text.append_chunk("x", 1));
  std::unique_ptr<char[]> released = text.release();
  EXPECT_EQ(std::strlen(released.get()), 63u);

  ListTextBuilder nul_led(64);  // the limit counts the bytes received, not those kept
  ASSERT_TRUE(nul_led.reserve(0));
  EXPECT_TRUE(nul_led.append_chunk(std::string(63, '\0').data(), 63));
  EXPECT_FALSE(nul_led.append_chunk("\0", 1));
}

TEST(ListTextBuilder, AnnouncedSizeBeyondTheLimitIsRefused) {
  ListTextBuilder text(64);
  EXPECT_FALSE(text.reserve(64));
  EXPECT_TRUE(text.reserve(63));
}

TEST(ListTextBuilder, EmptyBodyGivesAnEmptyText) {
  ListTextBuilder text;
  ASSERT_TRUE(text.reserve(0));
  std::unique_ptr<char[]> released = text.release();
  ASSERT_NE(released, nullptr);
  EXPECT_STREQ(released.get(), "");
}

// Hands out a body in reads of chosen sizes.
class ScriptedSource : public BodySource {
 public:
  ScriptedSource(std::string body, std::deque<std::size_t> read_sizes)
      : body_(std::move(body)), read_sizes_(std::move(read_sizes)) {}
  bool read(char* buffer, std::size_t size, std::size_t& received) override {
    asked.push_back(size);
    if (fail_at_end && at_ == body_.size()) return false;
    std::size_t n = body_.size() - at_;
    if (!read_sizes_.empty()) {
      n = std::min(n, read_sizes_.front());
      read_sizes_.pop_front();
    }
    n = std::min(n, size);
    std::memcpy(buffer, body_.data() + at_, n);
    at_ += n;
    received = n;
    return true;
  }
  std::vector<std::size_t> asked;
  bool fail_at_end = false;

 private:
  std::string body_;
  std::deque<std::size_t> read_sizes_;
  std::size_t at_ = 0;
};

std::string numbered_body(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = static_cast<char>('a' + i % 26);
  return body;
}

TEST(SlicedBodyReader, FullBlocksAreSlicedAtEvery1023Bytes) {
  const std::string body = numbered_body(2 * kBodyBlockBytes + 100);
  ScriptedSource source(body, {});
  std::vector<std::size_t> slices;
  std::string joined;
  EXPECT_EQ(read_body_in_slices(source,
                                [&](const char* slice, std::size_t length) {
                                  slices.push_back(length);
                                  joined.append(slice, length);
                                  return true;
                                }),
            BodyEnd::kComplete);
  EXPECT_EQ(joined, body);
  ASSERT_EQ(slices.size(), 129u);
  for (std::size_t i = 0; i + 1 < slices.size(); ++i) EXPECT_EQ(slices[i], 1023u) << i;
  EXPECT_EQ(slices.back(), 100u);
  EXPECT_EQ(source.asked.front(), kBodyBlockBytes);
}

TEST(SlicedBodyReader, ShortReadsKeepSliceEndsOnMultiplesOf1023) {
  const std::string body = numbered_body(3000);
  ScriptedSource source(body, {500, 700, 1800});
  std::vector<std::size_t> ends;
  std::size_t offset = 0;
  const BodyEnd end = read_body_in_slices(source, [&](const char*, std::size_t length) {
    EXPECT_LE(length, kReportSliceBytes);
    offset += length;
    ends.push_back(offset);
    return true;
  });
  // Reads end at 500, 1200, 3000; 1023-byte reads would have ended at 1023, 2046, 3000.
  EXPECT_EQ(end, BodyEnd::kComplete);
  EXPECT_EQ(ends, (std::vector<std::size_t>{500, 1023, 1200, 2046, 3000}));
}

TEST(SlicedBodyReader, StopsRightAfterTheSliceThatAskedToStop) {
  ScriptedSource source(numbered_body(5000), {});
  std::size_t handled = 0;
  EXPECT_EQ(read_body_in_slices(source, [&](const char*, std::size_t) { return ++handled < 2; }), BodyEnd::kStopped);
  EXPECT_EQ(handled, 2u);
}

TEST(SlicedBodyReader, ReportsAFailedRead) {
  ScriptedSource source(numbered_body(10), {});
  source.fail_at_end = true;
  EXPECT_EQ(read_body_in_slices(source, [](const char*, std::size_t) { return true; }), BodyEnd::kReadFailed);
}

TEST(TransferTexts, DownloadTextNamesTheArchive) {
  char text[kStatusTextSize] = {};
  format_download_progress_text("TOLVEX.lzh", text);
  EXPECT_STREQ(text, "TOLVEX.lzhをダウンロードしています。");
  EXPECT_STREQ(kListProgressText, "アップデート情報を取得しています。");
  const std::string long_name(300, 'a');
  format_download_progress_text(long_name.c_str(), text);
  EXPECT_EQ(std::strlen(text), kStatusTextSize - 1);
  EXPECT_EQ(std::string(text).substr(std::strlen(text) - 26), "をダウンロードしています。");
}

TEST(ArchiveFile, TruncatesAnExistingFile) {
  testing::ScopedWorkDir dir;
  testing::write_file("A.lzh", std::string(5000, 'x'));
  ArchiveFile file;
  ASSERT_TRUE(file.create("A.lzh"));
  ASSERT_TRUE(file.write("new", 3));
  ASSERT_TRUE(file.close());
  EXPECT_EQ(testing::read_file("A.lzh"), "new");
}

TEST(ArchiveFile, FolderOfTheSameNameCannotBeCreated) {
  testing::ScopedWorkDir dir;
  std::filesystem::create_directory("A.lzh");
  ArchiveFile file;
  EXPECT_FALSE(file.create("A.lzh"));
}

#ifndef _WIN32
TEST(ArchiveFile, FullDiskIsAFailedWrite) {
  ArchiveFile file;
  ASSERT_TRUE(file.create("/dev/full"));
  const std::string block(100000, 'x');  // more than the file's buffer: the write itself fails
  EXPECT_FALSE(file.write(block.data(), block.size()));
}

TEST(ArchiveFile, BufferedBytesThatCannotBeWrittenFailTheClose) {
  ArchiveFile file;
  ASSERT_TRUE(file.create("/dev/full"));
  EXPECT_TRUE(file.write("x", 1));
  EXPECT_FALSE(file.close());
}
#endif

// Progress reports of the last read with progress: (done, total).
std::vector<std::pair<std::uint32_t, std::uint32_t>> g_reports;
int record_report(std::int32_t, std::uint32_t done, std::uint32_t total, const char*) {
  g_reports.push_back({done, total});
  return done >= 2046 ? 1 : 0;  // asks to abort after the second slice
}

TEST(BodyWithProgress, EachEndIsTold) {
  auto store_all = [](const char*, std::size_t) { return true; };
  ScriptedSource whole(numbered_body(1500), {});
  EXPECT_EQ(read_body_with_progress(whole, 1500, "t", nullptr, store_all), TransferEnd::kComplete);
  ScriptedSource longer(numbered_body(1500), {});  // a longer body than announced is kept whole
  EXPECT_EQ(read_body_with_progress(longer, 10, "t", nullptr, store_all), TransferEnd::kComplete);
  ScriptedSource cut(numbered_body(1500), {});
  EXPECT_EQ(read_body_with_progress(cut, 1501, "t", nullptr, store_all), TransferEnd::kBroken);
  ScriptedSource failing(numbered_body(1500), {});
  failing.fail_at_end = true;
  EXPECT_EQ(read_body_with_progress(failing, -1, "t", nullptr, store_all), TransferEnd::kBroken);
  ScriptedSource refused(numbered_body(1500), {});
  EXPECT_EQ(read_body_with_progress(refused, -1, "t", nullptr, [](const char*, std::size_t) { return false; }),
            TransferEnd::kStoreFailed);

  // Every slice is stored before it is reported; no length announced reports a total of 0.
  g_reports.clear();
  std::size_t stored = 0;
  ScriptedSource aborted(numbered_body(5000), {});
  EXPECT_EQ(read_body_with_progress(aborted, -1, "t", record_report,
                                    [&](const char*, std::size_t length) {
                                      stored += length;
                                      return true;
                                    }),
            TransferEnd::kAborted);
  EXPECT_EQ(stored, 2046u);
  EXPECT_EQ(g_reports, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1023, 0}, {2046, 0}}));
}

TEST(UpdateAddress, OnlyAnHttpsSchemeCountsAsAServerThatProvesWhoItIs) {
  EXPECT_TRUE(is_https_address("https://example.jp/upd/"));
  EXPECT_TRUE(is_https_address("HTTPS://example.jp/upd/"));
  EXPECT_FALSE(is_https_address("http://example.jp/upd/"));
  EXPECT_FALSE(is_https_address("https:/example.jp/"));
  EXPECT_FALSE(is_https_address(" https://example.jp/"));
  EXPECT_FALSE(is_https_address(""));
}

}  // namespace
}  // namespace tolvex
