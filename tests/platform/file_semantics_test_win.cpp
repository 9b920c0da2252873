// Windows file semantics the installation relies on, checked where the tests run.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "support/temp_dir.h"

namespace tolvex {
namespace {

TEST(FileSemantics, RenameNeverReplacesAnExistingFile) {
  testing::ScopedWorkDir dir;
  testing::write_file("a.dll", "new");
  testing::write_file("b.dll", "old");
  EXPECT_NE(std::rename("a.dll", "b.dll"), 0);
  EXPECT_FALSE(MoveFileA("a.dll", "b.dll"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(testing::read_file("b.dll"), "old");
  EXPECT_EQ(testing::read_file("a.dll"), "new");
}

TEST(FileSemantics, BareNamesResolveAgainstTheCurrentDirectory) {
  testing::ScopedWorkDir dir;
  testing::write_file("here.txt", "x");
  char full[MAX_PATH];
  ASSERT_GT(GetFullPathNameA("here.txt", MAX_PATH, full, nullptr), 0u);
  EXPECT_NE(GetFileAttributesA(full), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace tolvex
