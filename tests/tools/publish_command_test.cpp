// publish on real folders: the list and archives the updater reads, same bytes every time, and
// nothing written (or everything put back) when a file cannot be published.
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include "lha/archive_reader.h"
#include "tools/publish_fixture.h"
#include "tools/signing.h"

namespace tolvex::testing {
namespace {

struct Member {
  std::string name;
  std::string method;
  std::string data;
};

std::vector<Member> members_of(const std::string& path) {
  lha::FileInput input(path);
  lha::ArchiveReader reader(input);
  lha::MemberHeader header;
  bool at_end = false;
  std::vector<Member> members;
  while (reader.next(header, at_end).ok() && !at_end) {
    lha::VectorSink sink;
    EXPECT_TRUE(reader.extract(sink).ok()) << path;
    members.push_back({header.stored_path, header.method, std::string(sink.bytes.begin(), sink.bytes.end())});
  }
  return members;
}

std::vector<std::string> files_in(const std::string& folder) {
  std::vector<std::string> names;
  if (!std::filesystem::exists(folder)) return names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

using Publish = PublishFolders;

TEST_F(Publish, WritesTheListInTableOrderAndOneArchivePerFile) {
  typical_release();
  ToolRun run = publish_to("out");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(
      read_file("out/update.txt"),
      "plo.exe&1,00,0,0002\r\ntolvex.exe&2,00,2301,0100\r\nvemoda.dll&1,02,3,0045\r\nrova.chm&2,00,2001,0708\r\n");
  EXPECT_EQ(files_in("out"),
            (std::vector<std::string>{"plo.lzh", "rova.lzh", "tolvex.lzh", "update.txt", "vemoda.lzh"}));
  for (const char* name : {"plo.exe", "tolvex.exe", "vemoda.dll", "rova.chm"}) {
    const std::string base = std::string(name).substr(0, std::string(name).rfind('.'));
    std::vector<Member> members = members_of("out/" + base + ".lzh");
    ASSERT_EQ(members.size(), 1u) << name;
    EXPECT_EQ(members[0].name, base + ".___");
    EXPECT_EQ(members[0].method, "-lh5-");
    EXPECT_EQ(members[0].data, read_file(std::string("release/") + name));
  }
}

TEST_F(Publish, GivesTheSameBytesForTheSameRelease) {
  typical_release();
  ASSERT_EQ(publish_to("first").exit_code, 0);
  ASSERT_EQ(publish_to("second").exit_code, 0);
  ASSERT_EQ(publish_to("first").exit_code, 0);  // over its own earlier output
  EXPECT_EQ(files_in("first"), files_in("second"));
  for (const std::string& name : files_in("first"))
    EXPECT_EQ(read_file("first/" + name), read_file("second/" + name)) << name;
}

TEST_F(Publish, HelpFileDateFollowsTheChosenTimeZone) {
  release("rova.chm", "help", 2009, 12, 31, 23);
  ASSERT_EQ(publish_to("japan").exit_code, 0);
  EXPECT_EQ(read_file("japan/update.txt"), "rova.chm&2,00,2001,0108\r\n");
  ASSERT_EQ(publish_to("utc", {"--tz", "UTC0"}).exit_code, 0);
  EXPECT_EQ(read_file("utc/update.txt"), "rova.chm&2,00,2912,3123\r\n");
  EXPECT_EQ(publish_to("bad", {"--tz", "Europe/Berlin"}).exit_code, 2);
  // The process's own zone, past January 2038 where a 32-bit time ends.
  testing::ScopedTimeZone japan{"JST-9"};
  release("rova.chm", "help", 2041, 1, 6, 23);
  ASSERT_EQ(publish_to("local", {"--tz", "local"}).exit_code, 0);
  EXPECT_EQ(read_file("local/update.txt"), "rova.chm&2,00,2101,0708\r\n");
}

TEST_F(Publish, UnusableFilesStopTheRunAndWriteNothing) {
  typical_release();
  release("nuri.dll", "not a program at all");              // no version information
  release("Gaft.exe", pe_file(1, 0, 0, 3));                 // wrong letter case
  release("readme.txt", "hello");                           // not managed
  release("sef.dll", pe_file(65535, 65535, 65535, 65535));  // version text over 20 bytes
  ToolRun run = publish_to("out");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("nuri.dll: not a Windows PE file"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("Gaft.exe: the updater matches names byte for byte: spell it \"gaft.exe\""),
            std::string::npos);
  EXPECT_NE(run.err.find("readme.txt: not one of the 26 files"), std::string::npos);
  EXPECT_NE(run.err.find("65535,65535,65535,65535 is longer than the 20 bytes"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists("out"));
}

TEST_F(Publish, AFailureLeavesAnEarlierPublicationAsItWas) {
  release("vemoda.dll", pe_file(1, 0, 0, 1));
  ASSERT_EQ(publish_to("out").exit_code, 0);
  const std::string list = read_file("out/update.txt"), archive = read_file("out/vemoda.lzh");

  release("vemoda.dll", pe_file(1, 0, 0, 2));
  release("nuri.dll", pe_file(1, 0, 0, 2));
  std::filesystem::create_directory("out/nuri.lzh");  // nothing can be moved into place there
  EXPECT_EQ(publish_to("out").exit_code, 1);
  EXPECT_EQ(read_file("out/update.txt"), list);
  EXPECT_EQ(read_file("out/vemoda.lzh"), archive);
  EXPECT_EQ(files_in("out"), (std::vector<std::string>{"nuri.lzh", "update.txt", "vemoda.lzh"}));
}

#ifndef _WIN32
// A link, a FIFO or a folder under a managed name is refused by what it is, never read (a FIFO
// would keep the read waiting for ever), and left out with --skip-unusable.
TEST_F(Publish, RefusesLinksFifosAndFoldersUnderFileNames) {
  typical_release();
  std::filesystem::create_directory("elsewhere");
  write_file("elsewhere/plo.exe", pe_file(1, 0, 0, 9));
  std::filesystem::remove("release/plo.exe");
  std::filesystem::create_symlink("../elsewhere/plo.exe", "release/plo.exe");
  ASSERT_EQ(mkfifo("release/gaft.exe", 0644), 0);
  std::filesystem::create_directory("release/nuri.dll");
  ToolRun run = publish_to("out");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("error: release/plo.exe: not a regular file (a symbolic link)"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("error: release/gaft.exe: not a regular file (a FIFO)"), std::string::npos);
  EXPECT_NE(run.err.find("error: release/nuri.dll: not a regular file (a folder)"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists("out"));

  ToolRun skipped = publish_to("out", {"--skip-unusable"});
  ASSERT_EQ(skipped.exit_code, 0) << skipped.err;
  EXPECT_NE(skipped.err.find("warning: release/gaft.exe: not a regular file (a FIFO) (left out)"), std::string::npos);
  EXPECT_EQ(read_file("out/update.txt"),
            "tolvex.exe&2,00,2301,0100\r\nvemoda.dll&1,02,3,0045\r\nrova.chm&2,00,2001,0708\r\n");
}

// Links planted where publish stages or sets aside its files are replaced as links: their
// targets are neither written nor created.
TEST_F(Publish, NeverWritesThroughALinkInTheOutputFolder) {
  typical_release();
  ASSERT_EQ(publish_to("out").exit_code, 0);
  write_file("victim", "keep");
  std::filesystem::create_symlink("../victim", "out/plo.lzh.publishing");
  std::filesystem::create_symlink("../absent", "out/vemoda.lzh.publishing");
  std::filesystem::create_symlink("../victim", "out/tolvex.lzh.previous");
  release("plo.exe", pe_file(1, 0, 0, 3));
  ToolRun run = publish_to("out");
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(read_file("victim"), "keep");
  EXPECT_FALSE(std::filesystem::exists("absent"));
  EXPECT_EQ(files_in("out"),
            (std::vector<std::string>{"plo.lzh", "rova.lzh", "tolvex.lzh", "update.txt", "vemoda.lzh"}));
  EXPECT_EQ(verify("out").exit_code, 0);
}
#endif

// A file that changed since the release already in the output folder must carry a version
// text the updater takes as newer (compared byte by byte), or no updater would offer it.
TEST_F(Publish, RefusesAChangedFileTheUpdaterWouldNotOffer) {
  release("vemoda.dll", pe_file(1, 2, 9, 0));
  ASSERT_EQ(publish_to("out").exit_code, 0);
  ToolRun unchanged = publish_to("out");
  EXPECT_EQ(unchanged.exit_code, 0);
  EXPECT_EQ(unchanged.err, "");
  const std::string archive = read_file("out/vemoda.lzh");

  release("vemoda.dll", pe_file(1, 2, 10, 0));  // numerically newer, but "1,02,10" < "1,02,9"
  ToolRun run = publish_to("out");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("error: release/vemoda.dll: its bytes changed since the published release, but its "
                         "version text 1,02,10,0000 is not newer than 1,02,9,0000 to the updater (byte-string order), "
                         "so no updater would offer it"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("raise the version or pass --allow-not-offered"), std::string::npos);
  EXPECT_EQ(read_file("out/vemoda.lzh"), archive);

  ToolRun allowed = publish_to("out", {"--allow-not-offered"});
  EXPECT_EQ(allowed.exit_code, 0) << allowed.err;
  EXPECT_NE(allowed.err.find("warning: release/vemoda.dll: its bytes changed"), std::string::npos) << allowed.err;
  EXPECT_EQ(read_file("out/update.txt"), "vemoda.dll&1,02,10,0000\r\n");
}

TEST_F(Publish, SkipUnusableLeavesThemOutWithAWarning) {
  typical_release();
  release("nuri.dll", "not a program at all");
  release("Readme.txt", "hello");
  ToolRun run = publish_to("out", {"--skip-unusable"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.err.find("warning: release/nuri.dll"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("(left out)"), std::string::npos);
  EXPECT_EQ(read_file("out/update.txt").find("nuri"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists("out/nuri.lzh"));
  EXPECT_EQ(verify("out").exit_code, 0);
}

TEST_F(Publish, RejectsBadCommandLines) {
  typical_release();
  EXPECT_EQ(run_publisher({}).exit_code, 2);
  EXPECT_EQ(run_publisher({"publish", "release"}).exit_code, 2);
  EXPECT_EQ(run_publisher({"publish", "--frobnicate", "release", "out"}).exit_code, 2);
  EXPECT_EQ(run_publisher({"verify", "--skip-unusable", "out"}).exit_code, 2);
  EXPECT_EQ(run_publisher({"verify", "--allow-not-offered", "out"}).exit_code, 2);
  EXPECT_EQ(publish_to("out", {"--serial", "3"}).exit_code, 2);  // numbers only a signed release
  EXPECT_EQ(publish_to("out", {"--expires-in", "30"}).exit_code, 2);
  EXPECT_EQ(publish_to("out", {"--list-name", "sub/update.txt"}).exit_code, 1);
  EXPECT_EQ(publish_to("out", {"--list-name", "plo.lzh"}).exit_code, 1);
  EXPECT_FALSE(std::filesystem::exists("out"));
  ToolRun help = run_publisher({"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_NE(help.out.find("usage:"), std::string::npos);
  EXPECT_EQ(publish_to("out", {"--list-name", "list2.txt"}).exit_code, 0);
  EXPECT_TRUE(std::filesystem::exists("out/list2.txt"));
  EXPECT_EQ(run_publisher({"verify", "--list-name", "list2.txt", "out"}).exit_code, 0);
}

// The Windows build of the tool has no signing: it says so, writes nothing and exits with 2.
TEST_F(Publish, WithoutSigningKeygenSignAndKeyAreRefusedPlainly) {
  if (publish::signing_available()) GTEST_SKIP() << "this build signs";
  typical_release();
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"keygen", "maker.pem", "maker.pub"},
        std::vector<std::string>{"publish", "--sign", "maker.pem", "release", "out"},
        std::vector<std::string>{"verify", "--key", "maker.pub", "out"}}) {
    const ToolRun run = run_publisher(arguments);
    EXPECT_EQ(run.exit_code, 2) << arguments[0];
    EXPECT_NE(run.err.find(publish::kSigningUnavailable), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists("maker.pem"));
  EXPECT_FALSE(std::filesystem::exists("out"));
}

}  // namespace
}  // namespace tolvex::testing
