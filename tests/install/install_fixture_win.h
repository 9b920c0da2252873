#pragma once
// A working folder for installation tests: the archive library beside the program, archives made
// by our codec, and a table with chosen rows flagged.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "fixtures/fixture_paths.h"
#include "lha/archive_writer.h"
#include "support/command_doubles.h"
#include "support/recording_doubles.h"
#include "support/temp_dir.h"
#include "win/process_win.h"
#include "workflow/command_context.h"

namespace tolvex::testing {

class InstallFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    // The updater takes the archive library from its own folder: here, the test program's.
    ASSERT_TRUE(CopyFileA(build_path("bin\\UNLHA32.dll").c_str(), library_path().c_str(), FALSE));
    load_managed_names(state.Table);
  }

  // Writes the archive `archive` holding one member `member` with `bytes`.
  static void make_archive(const std::string& archive, const std::string& member, const std::string& bytes) {
    std::vector<lha::ArchiveMember> members(1);
    members[0].name = member;
    members[0].data.assign(bytes.begin(), bytes.end());
    members[0].unix_time = 1700000000;
    ASSERT_TRUE(lha::write_archive_file(archive, members).ok());
  }
  static std::string bytes_of(const std::string& fixture) { return read_file(fixture_path(fixture)); }

  void flag(const char* name) {
    for (int i = 0; i < state.Table.RowCount; ++i)
      if (std::string(state.Table.FileRows[i].Name) == name) state.Table.UpdateFlags[i] = 1;
  }
  int row_of(const char* name) const {
    for (int i = 0; i < state.Table.RowCount; ++i)
      if (std::string(state.Table.FileRows[i].Name) == name) return i;
    return -1;
  }
  static std::string library_path() { return program_folder() + "UNLHA32.dll"; }
  static bool present(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

  ScopedWorkDir dir;
  UpdateWindowState state;
  FakeCommandWindow window;
  RecordingWaiter waiter;
};

}  // namespace tolvex::testing
