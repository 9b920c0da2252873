// The names formed for a managed file.
#include <gtest/gtest.h>

#include <string>

#include "install/archive_names.h"

namespace tolvex {
namespace {

TEST(ArchiveNames, FormedFromTheBaseName) {
  ArchiveNames names = form_archive_names("vemoda.dll");
  EXPECT_STREQ(names.target, "vemoda.dll");
  EXPECT_STREQ(names.base, "vemoda");
  EXPECT_STREQ(names.archive, "vemoda.lzh");
  EXPECT_STREQ(names.staged, "vemoda.___");
  EXPECT_STREQ(names.backup, "vemoda.bak");
  EXPECT_FALSE(is_updater_row(names));
}

TEST(ArchiveNames, OnlyTheLastDotEndsTheBase) {
  ArchiveNames names = form_archive_names("a.b.c");
  EXPECT_STREQ(names.base, "a.b");
  EXPECT_STREQ(names.archive, "a.b.lzh");
}

TEST(ArchiveNames, NameWithoutDotKeepsItsWholeText) {
  ArchiveNames names = form_archive_names("readme");
  EXPECT_STREQ(names.base, "readme");
  EXPECT_STREQ(names.archive, "readme.lzh");
}

TEST(ArchiveNames, UpdaterRowIsRecognisedExactly) {
  EXPECT_TRUE(is_updater_row(form_archive_names("tolvex.exe")));
  EXPECT_FALSE(is_updater_row(form_archive_names("TOLVEX.EXE")));
  EXPECT_FALSE(is_updater_row(form_archive_names("tolvex2.exe")));
}

TEST(ArchiveNames, OverlongNamesStayWithinTheirBuffers) {
  std::string name(200, 'x');
  ArchiveNames names = form_archive_names((name + ".dll").c_str());
  EXPECT_LT(std::string(names.archive).size(), kFileNameBufferSize);
  EXPECT_LT(std::string(names.target).size(), kFileNameBufferSize);
}

}  // namespace
}  // namespace tolvex
