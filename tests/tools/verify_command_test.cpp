// verify on real published folders: a good one passes, and each kind of fault the updater would
// trip over is reported with a non-zero exit code.
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "archive_bytes.h"
#include "lha/archive_writer.h"
#include "tools/publish_fixture.h"

namespace tolvex::testing {
namespace {

std::string archive_of(const std::vector<std::pair<std::string, std::string>>& members) {
  std::vector<lha::ArchiveMember> list;
  for (const auto& [name, data] : members)
    list.push_back({name, std::vector<std::uint8_t>(data.begin(), data.end()), 1700000000});
  std::vector<std::uint8_t> bytes;
  EXPECT_TRUE(lha::write_archive(list, bytes).ok());
  return std::string(bytes.begin(), bytes.end());
}

class Verify : public PublishFolders {
 protected:
  void SetUp() override {
    typical_release();
    ASSERT_EQ(publish_to("out").exit_code, 0);
  }
  // Runs verify and expects it to fail with `message` among its problems.
  void expect_problem(const std::string& message) {
    ToolRun run = verify("out");
    EXPECT_EQ(run.exit_code, 1) << run.err;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("FAILED"), std::string::npos);
  }
  const std::string good_list_ =
      "plo.exe&1,00,0,0002\r\ntolvex.exe&2,00,2301,0100\r\nvemoda.dll&1,02,3,0045\r\nrova.chm&2,00,2001,0708\r\n";
};

TEST_F(Verify, PassesWhatPublishWrote) {
  ToolRun run = verify("out");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "OK: 4 entries and 4 archives in out\n");
}

TEST_F(Verify, CatchesNamesTheUpdaterWouldNotMatch) {
  write_file("out/update.txt", "PLO.EXE&1,00,0,0002\r\n");
  expect_problem("line 1: name \"PLO.EXE\": the updater matches names byte for byte: spell it \"plo.exe\"");
  write_file("out/update.txt", "plo&1,00,0,0002\r\n");
  expect_problem("not one of the 26 files");
  write_file("out/update.txt", "verylongname.dll&1,00,0,0002\r\n");
  expect_problem("longer than 12 bytes");
  write_file("out/update.txt", "&1,00,0,0002\r\nplo.exe&1,00,0,0002\r\n");
  expect_problem("line 1: empty name");
}

TEST_F(Verify, CatchesVersionsNotInTheUpdatersForms) {
  for (const char* version : {"1.0.0.2", "1,0,0,0002", "01,00,0,0002", "1,00,0,2", "1,00,0,0002 ", "70000,00,0,0002"}) {
    write_file("out/update.txt", std::string("plo.exe&") + version + "\r\n");
    expect_problem("is not in the updater's form");
  }
  write_file("out/update.txt", "rova.chm&2,00,2013,0708\r\n");  // month 13
  expect_problem("is not the help file's date form");
  write_file("out/update.txt", "plo.exe&1,00,0,0002,0000,0000,00\r\n");
  expect_problem("longer than 20 bytes");
}

TEST_F(Verify, CatchesLinesTheUpdaterReadsDifferently) {
  write_file("out/update.txt", "plo.exe&1,00,0,0002\n");
  expect_problem("line 1: does not end in CR LF");
  write_file("out/update.txt", "plo.exe&1,00,0,0002\r\n\r\nvemoda.dll&1,02,3,0045\r\n");
  expect_problem("line 2: empty; the updater stops reading here");
  write_file("out/update.txt", "plo.exe&1,00,0,0002\r\nvemoda.dll&1,02,3,0045");
  expect_problem("text after the last line feed (\"vemoda.dll&1,02,3,0045\") is not a line");
  write_file("out/update.txt", "plo.exe 1,00,0,0002\r\n");
  expect_problem("no '&'");
  write_file("out/update.txt", "plo.exe&1,00\r,0,0002\r\n");
  expect_problem("a carriage return inside the line");
  write_file("out/update.txt", std::string("plo.exe&1,00,0,0002\r\n\0vemoda.dll&1,02,3,0045\r\n", 46));
  expect_problem("a NUL byte at offset 21");
  write_file("out/update.txt", "");
  expect_problem("no line feed at all");
}

TEST_F(Verify, CatchesEntriesAfterThe26th) {
  std::string list;
  for (int i = 0; i < 27; ++i) list += "plo.exe&1,00,0,0002\r\n";
  write_file("out/update.txt", list);
  expect_problem("line 27: entry 27 or later");
}

TEST_F(Verify, CatchesMissingWrongAndDamagedArchives) {
  std::filesystem::remove("out/plo.lzh");
  expect_problem("out/plo.lzh: missing");

  write_file("out/plo.lzh", archive_of({{"plo.exe", pe_file(1, 0, 0, 2)}}));
  expect_problem("out/plo.lzh: does not hold the member plo.___");

  write_file("out/plo.lzh", "this is no archive");
  expect_problem("out/plo.lzh:");

  std::string archive = read_file("out/vemoda.lzh");
  archive[archive.size() - 20] ^= 0x55;  // inside the compressed data
  write_file("out/plo.lzh", archive_of({{"plo.___", pe_file(1, 0, 0, 2)}}));
  write_file("out/vemoda.lzh", archive);
  expect_problem("out/vemoda.lzh: member vemoda.___ does not decode");

  write_file("out/vemoda.lzh", archive_of({{"vemoda.___", pe_file(1, 2, 3, 46)}}));
  expect_problem("out/vemoda.lzh: the file it holds has version 1,02,3,0046 but the list says 1,02,3,0045");
}

TEST_F(Verify, CatchesBombsAndMembersWithoutACrcBeforeDecodingThem) {
  namespace lt = lha::testing;
  // 1.7 KB that decode to 4,294,901,761 bytes under a valid CRC.
  lt::Bytes bomb = lt::level0_member("-lh5-", "plo.___", lt::lh5_bomb_stream(256), 0);
  lt::set_level0_original_size(bomb, 4294901761u);
  write_file("out/plo.lzh", std::string(bomb.begin(), bomb.end()));
  expect_problem("out/plo.lzh: member plo.___ declares 4294901761 bytes, more than the publisher writes");

  const std::string pe = pe_file(1, 0, 0, 2);
  lt::Bytes unchecked = lt::level0_member_without_crc("-lh0-", "plo.___", lt::Bytes(pe.begin(), pe.end()));
  write_file("out/plo.lzh", std::string(unchecked.begin(), unchecked.end()));
  expect_problem("out/plo.lzh: member plo.___ has no CRC");
}

#ifndef _WIN32
// Only regular files under their own names are read: a FIFO is refused instead of waited on,
// and a link is refused whatever it points to.
TEST_F(Verify, RefusesFifosAndLinksInsteadOfFiles) {
  std::filesystem::rename("out/update.txt", "update.txt");
  ASSERT_EQ(mkfifo("out/update.txt", 0644), 0);
  ToolRun list = verify("out");
  EXPECT_EQ(list.exit_code, 1);
  EXPECT_NE(list.err.find("error: out/update.txt: not a regular file (a FIFO)"), std::string::npos) << list.err;
  std::filesystem::remove("out/update.txt");
  std::filesystem::rename("update.txt", "out/update.txt");

  std::filesystem::remove("out/plo.lzh");
  ASSERT_EQ(mkfifo("out/plo.lzh", 0644), 0);
  std::filesystem::rename("out/vemoda.lzh", "vemoda.lzh");
  std::filesystem::create_symlink("../vemoda.lzh", "out/vemoda.lzh");
  ToolRun run = verify("out");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("error: out/plo.lzh: not a regular file (a FIFO)"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("error: out/vemoda.lzh: not a regular file (a symbolic link)"), std::string::npos);
}
#endif

TEST_F(Verify, WarnsAboutExtraMembersLeftoversAndUnlistedArchives) {
  write_file("out/plo.lzh", archive_of({{"plo.___", pe_file(1, 0, 0, 2)}, {"readme.txt", "x"}}));
  write_file("out/nuri.lzh", archive_of({{"nuri.___", pe_file(1, 0, 0, 2)}}));
  write_file("out/update.txt.publishing", "x");
  ToolRun run = verify("out");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.err.find("warning: out/plo.lzh: also holds readme.txt"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("warning: out/nuri.lzh: an archive the list does not name"), std::string::npos);
  EXPECT_NE(run.err.find("warning: out/update.txt.publishing: left over"), std::string::npos);
  EXPECT_NE(run.out.find("(3 warnings)"), std::string::npos);
  EXPECT_EQ(read_file("out/update.txt"), good_list_);
}

}  // namespace
}  // namespace tolvex::testing
