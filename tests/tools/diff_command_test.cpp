// diff between a real installed folder and a published one: the updater's own comparison, the
// "-" of missing files, and warnings where text order and numeric order disagree.
#include <filesystem>

#include "tools/publish_fixture.h"

namespace tolvex::testing {
namespace {

class Diff : public PublishFolders {
 protected:
  void install(const std::string& name, const std::string& bytes) {
    std::filesystem::create_directories("installed");
    write_file("installed/" + name, bytes);
    set_modification_time_utc("installed/" + name, 2009, 12, 31, 23, 0);  // 2010-01-01 08:00 in Japan
  }
  ToolRun diff() { return run_publisher({"diff", "installed", "out"}); }
};

TEST_F(Diff, ShowsWhatTheUpdaterWouldFlag) {
  typical_release();
  release("nuri.dll", pe_file(1, 0, 0, 3));
  ASSERT_EQ(publish_to("out").exit_code, 0);
  install("plo.exe", pe_file(1, 0, 0, 1));      // older: flagged
  install("nuri.dll", pe_file(1, 0, 0, 3));     // equal: not flagged
  install("vemoda.dll", pe_file(1, 2, 3, 46));  // newer installed: kept
  install("rova.chm", "old help");              // 2,00,2001,0108 below 2,00,2001,0708
  // tolvex.exe is not installed: "-" is below any version

  ToolRun run = diff();
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "update   plo.exe       1,00,0,0001 -> 1,00,0,0002\n"
            "update   tolvex.exe    - -> 2,00,2301,0100\n"
            "keep     vemoda.dll    1,02,3,0046 -> 1,02,3,0045\n"
            "current  nuri.dll      1,00,0,0003 -> 1,00,0,0003\n"
            "update   rova.chm      2,00,2001,0108 -> 2,00,2001,0708\n"
            "the updater would find 3 newer versions: plo.exe, tolvex.exe, rova.chm\n");
}

TEST_F(Diff, WarnsWhereTextOrderIsNotNumberOrder) {
  release("plo.exe", pe_file(10, 0, 0, 0));
  release("nuri.dll", pe_file(1, 0, 9, 0));
  ASSERT_EQ(publish_to("out").exit_code, 0);
  install("plo.exe", pe_file(9, 0, 0, 0));    // 10,00,0,0000 sorts below 9,00,0,0000
  install("nuri.dll", pe_file(1, 0, 10, 0));  // 1,00,9,0000 sorts above 1,00,10,0000
  ToolRun run = diff();
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("keep     plo.exe       9,00,0,0000 -> 10,00,0,0000\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("update   nuri.dll      1,00,10,0000 -> 1,00,9,0000\n"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("warning: plo.exe: listed 10,00,0,0000 is numerically newer than installed 9,00,0,0000 but "
                         "sorts below it as text, so the updater will NOT offer it"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("warning: nuri.dll: listed 1,00,9,0000 is numerically older than installed 1,00,10,0000"),
            std::string::npos);
}

TEST_F(Diff, FollowsTheUpdaterPastOddLines) {
  std::filesystem::create_directories("out");
  std::filesystem::create_directories("installed");
  write_file("out/update.txt", "PLO.EXE&9,00,0,0000\r\nsef.dll&1,00,0,0001\r\nbroken line\r\nnuri.dll&1,00,0,0001\r\n");
  ToolRun run = diff();
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "ignored  PLO.EXE (not a managed file)\n"
            "update   sef.dll       - -> 1,00,0,0001\n"
            "the updater would find 1 newer version: sef.dll\n");
  EXPECT_NE(run.err.find("entry 3 has no usable name; the updater compares nothing after it"), std::string::npos)
      << run.err;
  EXPECT_EQ(run_publisher({"diff", "installed", "nowhere"}).exit_code, 1);
}

}  // namespace
}  // namespace tolvex::testing
