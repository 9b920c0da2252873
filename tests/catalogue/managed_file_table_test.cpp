// Filling the managed file table: names in order, versions as read, rows shown.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalogue/managed_file_table.h"
#include "support/recording_doubles.h"
#include "text/cp932.h"

namespace tolvex {
namespace {

int fake_reader(const char* name, char* out, std::size_t size) {
  if (std::strcmp(name, "sef.dll") == 0) {
    copy_cp932_text(out, size, "GetFileVersionInfo error (1812)");
    return -1;
  }
  if (std::strcmp(name, "nuri.dll") == 0) {
    copy_cp932_text(out, size, "-");
    return -1;
  }
  copy_cp932_text(out, size, "1,00,0,0001");
  return 0;
}

TEST(FillFileTable, TwentySixRowsInTableOrder) {
  ManagedFileTable table;
  testing::RecordingView view;
  fill_file_table(table, view, fake_reader);
  EXPECT_EQ(table.RowCount, 26);
  ASSERT_EQ(view.rows.size(), 26u);
  EXPECT_STREQ(table.FileRows[0].Name, "plo.exe");
  EXPECT_STREQ(table.FileRows[5].Name, "tolvex.exe");
  EXPECT_STREQ(table.FileRows[24].Name, "hexalou2.dll");
  EXPECT_STREQ(table.FileRows[25].Name, "rova.chm");
  for (int i = 0; i < 26; ++i) EXPECT_EQ(view.rows[i].name, table.FileRows[i].Name);
  EXPECT_EQ(view.rows[8].version, "-");
  EXPECT_TRUE(view.rows[0].latest.empty());
}

TEST(FillFileTable, LongTextIsShownWholeButStoredCutToItsField) {
  ManagedFileTable table;
  std::memset(table.FileRows[10].Name, 'Z', sizeof table.FileRows[10].Name);  // next row, must be rewritten
  testing::RecordingView view;
  fill_file_table(table, view, fake_reader);
  EXPECT_EQ(view.rows[9].version, "GetFileVersionInfo error (1812)");
  EXPECT_STREQ(table.FileRows[9].Version, "GetFileVersionInfo e");
  EXPECT_STREQ(table.FileRows[10].Name, "palgon.dll");
  EXPECT_STREQ(table.DisplayVersions[9], "GetFileVersionInfo error (1812)");
}

TEST(FillFileTable, RowsBeyondTheTableAreNeverTouched) {
  ManagedFileTable table;
  std::memset(table.FileRows[26].Name, 'Q', 4);
  testing::RecordingView view;
  fill_file_table(table, view, fake_reader);
  EXPECT_EQ(table.FileRows[26].Name[0], 'Q');
}

}  // namespace
}  // namespace tolvex
