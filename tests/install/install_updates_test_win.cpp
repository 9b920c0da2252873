// The installation step on real files: archives made by our codec, extracted through the real
// UNLHA32.dll, swapped in with a backup; every outcome of a row checked on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string>
#include <thread>

#include "demo_driver/app_driver_win.h"
#include "install/file_swap.h"
#include "install/install_fixture_win.h"
#include "install/install_updates.h"
#include "win/process_win.h"

namespace tolvex {
namespace {

using testing::fixture_path;
using testing::read_file;
using testing::write_file;

class InstallUpdates : public testing::InstallFolder {
 protected:
  int install() { return install_updates(state.Table, state.WasRunning, window, nullptr, waiter); }
};

TEST_F(InstallUpdates, ReplacesAPresentFileAndCleansUp) {
  write_file("vemoda.dll", "old");
  make_archive("vemoda.lzh", "vemoda.___", "new vemoda");
  flag("vemoda.dll");
  EXPECT_EQ(install(), 1);
  EXPECT_EQ(read_file("vemoda.dll"), "new vemoda");
  EXPECT_FALSE(present("vemoda.bak"));
  EXPECT_FALSE(present("vemoda.___"));
  EXPECT_FALSE(present("vemoda.lzh"));
}

TEST_F(InstallUpdates, ReadOnlyFileIsUpdatedTwiceInARow) {
  write_file("vemoca.dll", "old");
  ASSERT_TRUE(SetFileAttributesA("vemoca.dll", FILE_ATTRIBUTE_READONLY));
  for (const char* content : {"first", "second"}) {
    make_archive("vemoca.lzh", "vemoca.___", content);
    flag("vemoca.dll");
    EXPECT_EQ(install(), 1) << content;
    EXPECT_EQ(read_file("vemoca.dll"), content);
    EXPECT_FALSE(present("vemoca.bak")) << content;
  }
}

TEST_F(InstallUpdates, ArchiveWrittenByAnotherArchiverIsInstalled) {
  write_file("wirto.dll", "old wirto");
  ASSERT_TRUE(CopyFileA(testing::fixture_path("jlha_wirto.lzh").c_str(), "wirto.lzh", FALSE));
  flag("wirto.dll");
  EXPECT_EQ(install(), 1);
  EXPECT_EQ(read_file("wirto.dll"), bytes_of("jlha_wirto.expected"));
  EXPECT_FALSE(present("wirto.lzh"));
}

TEST_F(InstallUpdates, AbsentTargetTakesTheNewFile) {
  make_archive("nuri.lzh", "nuri.___", "new nuri");
  flag("nuri.dll");
  EXPECT_EQ(install(), 1);
  EXPECT_EQ(read_file("nuri.dll"), "new nuri");
  EXPECT_FALSE(present("nuri.lzh"));
}

TEST_F(InstallUpdates, ArchiveWithoutTheStagedMemberPutsTheOldFileBack) {
  write_file("sef.dll", "old sef");
  make_archive("sef.lzh", "other.___", "stray");
  flag("sef.dll");
  EXPECT_EQ(install(), 0);
  EXPECT_EQ(read_file("sef.dll"), "old sef");
  EXPECT_FALSE(present("sef.bak"));
  EXPECT_FALSE(present("sef.lzh"));
  EXPECT_NE(std::find(window.view.statuses.begin(), window.view.statuses.end(), "sef.dll:update faild."),
            window.view.statuses.end());
}

TEST_F(InstallUpdates, MissingArchiveIsAFailedRowWithTheOldFileKept) {
  write_file("zevo.dll", "old zevo");
  flag("zevo.dll");
  EXPECT_EQ(install(), 0);
  EXPECT_EQ(read_file("zevo.dll"), "old zevo");
}

TEST_F(InstallUpdates, ArchiveLibraryThatCannotBeLoadedIsAFailedRowWithNothingLost) {
  // Missing beside the program (only the working folder has one, which is never used), and of
  // the other width (a 64-bit library beside the 32-bit updater, or the reverse): the same
  // failure of the row either way.
  for (const bool other_width : {false, true}) {
    SCOPED_TRACE(other_width ? "other width" : "missing");
    DeleteFileA(library_path().c_str());
    if (other_width) {
      ASSERT_TRUE(CopyFileA(fixture_path("other_width\\UNLHA32.dll").c_str(), library_path().c_str(), FALSE));
    } else {
      ASSERT_TRUE(CopyFileA(testing::build_path("bin\\UNLHA32.dll").c_str(), "UNLHA32.dll", FALSE));
    }
    write_file("vemoda.dll", "old vemoda");
    make_archive("vemoda.lzh", "vemoda.___", "new vemoda");
    flag("vemoda.dll");
    window.view.statuses.clear();
    EXPECT_EQ(install(), 0);
    EXPECT_EQ(read_file("vemoda.dll"), "old vemoda");
    EXPECT_FALSE(present("vemoda.bak"));
    EXPECT_FALSE(present("vemoda.___"));
    EXPECT_NE(std::find(window.view.statuses.begin(), window.view.statuses.end(), "vemoda.dll:update faild."),
              window.view.statuses.end());
  }
}

// Access denied to a file in a folder nobody can write (marked immutable by the test rig) is a
// lack of rights, not another program's hold: the row fails at once, with no pause, and the old
// file stays.
TEST_F(InstallUpdates, FileInAFolderNobodyCanWriteFailsAtOnceWithoutWaiting) {
  const char* locked = std::getenv("TOLVEX_LOCKED_FOLDER");
  ASSERT_NE(locked, nullptr);
  std::string folder = std::string("Z:") + locked + "-file";
  std::replace(folder.begin(), folder.end(), '/', '\\');
  ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
  if (MoveFileA("vemoda.dll", "vemoda.bak")) {
    MoveFileA("vemoda.bak", "vemoda.dll");
    GTEST_SKIP() << "the rig could not make a folder nobody can write (chattr +i)";
  }
  flag("vemoda.dll");
  EXPECT_EQ(install(), 0);
  EXPECT_TRUE(waiter.waits.empty());
  EXPECT_EQ(read_file("vemoda.dll"), "an old vemoda.dll\n");
}

TEST_F(InstallUpdates, LeftoverBackupIsRemovedBeforeTheSwap) {
  write_file("fule.dll", "old fule");
  write_file("fule.bak", "ancient");
  make_archive("fule.lzh", "fule.___", "new fule");
  flag("fule.dll");
  EXPECT_EQ(install(), 1);
  EXPECT_EQ(read_file("fule.dll"), "new fule");
  EXPECT_FALSE(present("fule.bak"));
}

TEST_F(InstallUpdates, LeftoverStagedFileIsNeverInstalledAsTheNewVersion) {
  write_file("orbi.dll", "old orbi");
  write_file("orbi.___", "stale staged file from an interrupted run");
  make_archive("orbi.lzh", "not-orbi.___", "x");  // the archive does not hold the member
  flag("orbi.dll");
  EXPECT_EQ(install(), 0);
  EXPECT_EQ(read_file("orbi.dll"), "old orbi");
  EXPECT_FALSE(present("orbi.___"));
}

TEST_F(InstallUpdates, BackupLeftWithoutItsTargetIsPutBackFirst) {
  write_file("yosk.bak", "the only copy");
  make_archive("yosk.lzh", "other.___", "x");  // this update fails: the old file must survive
  flag("yosk.dll");
  EXPECT_EQ(install(), 0);
  EXPECT_EQ(read_file("yosk.dll"), "the only copy");
  EXPECT_FALSE(present("yosk.bak"));
}

TEST_F(InstallUpdates, FirstOfThreeFailsTheOthersAreStillInstalled) {
  write_file("vemoda.dll", "old 1");
  write_file("vemoca.dll", "old 2");
  write_file("nuri.dll", "old 3");
  make_archive("vemoda.lzh", "wrong.___", "x");
  make_archive("vemoca.lzh", "vemoca.___", "new 2");
  make_archive("nuri.lzh", "nuri.___", "new 3");
  flag("vemoda.dll");
  flag("vemoca.dll");
  flag("nuri.dll");
  EXPECT_EQ(install(), 0);
  EXPECT_EQ(read_file("vemoda.dll"), "old 1");
  EXPECT_EQ(read_file("vemoca.dll"), "new 2");
  EXPECT_EQ(read_file("nuri.dll"), "new 3");
}

TEST_F(InstallUpdates, FileHeldForAMomentIsWaitedFor) {
  write_file("hobrave.dll", "old");
  make_archive("hobrave.lzh", "hobrave.___", "new");
  testing::ChildProcess holder(testing::fixture_path("sibling_1_0_0_1.exe"), dir.path().string(), "--hold hobrave.dll");
  ASSERT_TRUE(testing::wait_until([] { return !testing::ChildProcess::can_open("hobrave.dll"); }, 30000));
  std::thread scanner_done([&] {
    Sleep(2000);
    TerminateProcess(holder.handle(), 0);
  });
  flag("hobrave.dll");
  const int result = install_updates(state.Table, state.WasRunning, window, nullptr, system_waiter());
  scanner_done.join();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(read_file("hobrave.dll"), "new");
  EXPECT_FALSE(present("hobrave.bak"));
  const auto& statuses = window.view.statuses;
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "hobrave.dll の使用が終わるのを待っています。"),
            statuses.end());
}

TEST_F(InstallUpdates, UnreadableTargetCountsAsAbsentAndIsLeftUnchanged) {
  write_file("hobrave.dll", "locked old");
  make_archive("hobrave.lzh", "hobrave.___", "new");
  testing::ChildProcess holder(testing::fixture_path("sibling_1_0_0_1.exe"), dir.path().string(), "--hold hobrave.dll");
  ASSERT_TRUE(testing::wait_until([] { return !testing::ChildProcess::can_open("hobrave.dll"); }, 30000));
  flag("hobrave.dll");
  EXPECT_EQ(install(), 0);
  // Held for ever: waited for about ten seconds (recorded, not slept), then failed as at once.
  EXPECT_GE(std::accumulate(waiter.waits.begin(), waiter.waits.end(), 0u), HeldFileRetry::kTotalPauseMs);
  EXPECT_FALSE(present("hobrave.___"));
  EXPECT_FALSE(present("hobrave.lzh"));
  EXPECT_FALSE(present("hobrave.bak"));
  TerminateProcess(holder.handle(), 0);
  ASSERT_TRUE(holder.wait_for_exit(5000));
  EXPECT_EQ(read_file("hobrave.dll"), "locked old");
}

TEST_F(InstallUpdates, BackupThatCannotBeRemovedFailsBeforeTheTargetIsTouched) {
  write_file("dulam.dll", "old dulam");
  write_file("dulam.bak", "held backup");
  make_archive("dulam.lzh", "dulam.___", "new");
  testing::ChildProcess holder(testing::fixture_path("sibling_1_0_0_1.exe"), dir.path().string(), "--hold dulam.bak");
  ASSERT_TRUE(testing::wait_until([] { return !testing::ChildProcess::can_open("dulam.bak"); }, 30000));
  flag("dulam.dll");
  EXPECT_EQ(install(), 0);
  EXPECT_EQ(read_file("dulam.dll"), "old dulam");
  EXPECT_FALSE(present("dulam.___"));
  EXPECT_FALSE(present("dulam.lzh"));
  TerminateProcess(holder.handle(), 0);
  ASSERT_TRUE(holder.wait_for_exit(5000));
  EXPECT_EQ(read_file("dulam.bak"), "held backup");
}

TEST_F(InstallUpdates, UpdaterRowIsOnlyStagedAndItsVersionShown) {
  ASSERT_TRUE(CopyFileA(testing::fixture_path("ver_2_0_2209_1800_exe.exe").c_str(), "tolvex.exe", FALSE));
  make_archive("tolvex.lzh", "tolvex.___", bytes_of("ver_2_0_2301_0100_exe.exe"));
  write_file("tolvex.bak", "untouched");
  flag("tolvex.exe");
  EXPECT_EQ(install(), 1);
  EXPECT_EQ(read_file("tolvex.exe"), bytes_of("ver_2_0_2209_1800_exe.exe"));
  EXPECT_EQ(read_file("tolvex.___"), bytes_of("ver_2_0_2301_0100_exe.exe"));
  EXPECT_EQ(read_file("tolvex.bak"), "untouched");
  EXPECT_FALSE(present("tolvex.lzh"));
  EXPECT_EQ(window.view.rows[5].version, "2,00,2301,0100");
  EXPECT_STREQ(state.Table.FileRows[5].Version, "2,00,2301,0100");
}

TEST_F(InstallUpdates, UpdaterRowWithoutStagedFileShowsDashAndStillSucceeds) {
  make_archive("tolvex.lzh", "other.___", "x");
  flag("tolvex.exe");
  EXPECT_EQ(install(), 1);
  EXPECT_EQ(window.view.rows[5].version, "-");
}

TEST_F(InstallUpdates, RefreshShowsEveryRowWithItsNewVersionAndNoLatestColumn) {
  ASSERT_TRUE(CopyFileA(testing::fixture_path("ver_1_0_0_1.dll").c_str(), "vemoda.dll", FALSE));
  make_archive("vemoda.lzh", "vemoda.___", bytes_of("ver_1_2_3_45.dll"));
  flag("vemoda.dll");
  window.view.insert_row(0, "stale", "stale");
  EXPECT_EQ(install(), 1);
  ASSERT_EQ(window.view.rows.size(), 26u);
  EXPECT_EQ(window.view.rows[0].name, "plo.exe");
  EXPECT_EQ(window.view.rows[6].version, "1,02,3,0045");
  for (const auto& row : window.view.rows) EXPECT_EQ(row.latest, "");
  EXPECT_EQ(state.Table.UpdateFlags[6], 1);  // flags are left as they were
  // Finished: "アップデート終了", then the restart leaves the status line empty.
  ASSERT_GE(window.view.statuses.size(), 2u);
  EXPECT_EQ(window.view.statuses[window.view.statuses.size() - 2], "アップデート終了");
  EXPECT_EQ(window.view.statuses.back(), "");
  EXPECT_TRUE(waiter.waits.empty());  // no sibling was running
}

TEST_F(InstallUpdates, StartUpRecoveryPutsOrphanedBackupsBack) {
  write_file("carnesa.bak", "only copy");
  write_file("bimoral.dll", "current");
  write_file("bimoral.bak", "old backup");
  write_file("tolvex.bak", "not the updater's business");
  write_file("lha1A2B.tmp", "cut short by a crash");  // the library's temporaries
  write_file("LHA3C.TMP", "the library's, in capitals");
  write_file("LH3C.TMP", "another archive library's");
  write_file("lhasa.tmp", "a user's");
  write_file("lha12345.tmp", "not a name the library makes");
  write_file("lhasa.tmp.txt", "ours to keep");  // matches "lha*.tmp" only through its short name
  write_file("plh1.tmp", "someone else's");
  ASSERT_TRUE(CreateDirectoryA("lhdir.tmp", nullptr));
  recover_interrupted_swaps();
  EXPECT_FALSE(present("lha1A2B.tmp"));
  EXPECT_FALSE(present("LHA3C.TMP"));
  for (const char* kept : {"LH3C.TMP", "lhasa.tmp", "lha12345.tmp"}) EXPECT_TRUE(present(kept)) << kept;
  EXPECT_EQ(read_file("lhasa.tmp.txt"), "ours to keep");
  EXPECT_EQ(read_file("plh1.tmp"), "someone else's");
  EXPECT_TRUE(present("lhdir.tmp"));
  EXPECT_EQ(read_file("carnesa.dll"), "only copy");
  EXPECT_FALSE(present("carnesa.bak"));
  EXPECT_EQ(read_file("bimoral.dll"), "current");
  EXPECT_EQ(read_file("bimoral.bak"), "old backup");
  EXPECT_FALSE(present("tolvex.exe"));
}

}  // namespace
}  // namespace tolvex
