// Matching the update list with the managed files: flags, count, column 2 and status texts.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/update_list.h"
#include "support/recording_doubles.h"

namespace tolvex {
namespace {

class CompareStep : public ::testing::Test {
 protected:
  void SetUp() override {
    load_managed_names(table);
    for (int i = 0; i < table.RowCount; ++i) set_row_version(table, i, "1,00,0,0001");
  }
  int row_of(const char* name) {
    for (int i = 0; i < table.RowCount; ++i)
      if (std::string(table.FileRows[i].Name) == name) return i;
    return -1;
  }
  void set(const char* name, const char* version) { set_row_version(table, row_of(name), version); }
  std::int32_t compare(const std::string& text) { return compare_step(table, rows, text.c_str(), view); }
  int flagged_count() {
    int n = 0;
    for (int i = 0; i < kTableCapacity; ++i) n += table.UpdateFlags[i];
    return n;
  }

  ManagedFileTable table;
  UpdateListRows rows;
  testing::RecordingView view;
};

TEST_F(CompareStep, WorkedExample) {
  set("plo.exe", "1,00,0,0005");
  set("nuri.dll", "1,00,0,0003");
  set("rova.chm", "-");
  std::int32_t found =
      compare("plo.exe&1,01,0,0002\r\nnuri.dll&1,00,0,0003\r\nrova.chm&2,00,2203,1514\r\n\r\nsef.dll&9,99,9,9999\r\n");
  EXPECT_EQ(found, 2);
  EXPECT_EQ(table.UpdateFlags[0], 1);
  EXPECT_EQ(table.UpdateFlags[8], 0);
  EXPECT_EQ(table.UpdateFlags[25], 1);
  EXPECT_EQ(table.UpdateFlags[row_of("sef.dll")], 0);
  ASSERT_EQ(view.latest_writes.size(), 2u);
  EXPECT_EQ(view.latest_writes[0], (std::pair<int, std::string>{0, "1,01,0,0002"}));
  EXPECT_EQ(view.latest_writes[1], (std::pair<int, std::string>{25, "2,00,2203,1514"}));
  ASSERT_EQ(view.statuses.size(), 2u);
  EXPECT_EQ(view.statuses[0], kStatusCheckingUpdates);
  EXPECT_EQ(view.statuses[1], kStatusUpdatesFound);
}

TEST_F(CompareStep, NothingNewerShowsNoUpdatesAndReturnsZero) {
  EXPECT_EQ(compare("plo.exe&1,00,0,0001\r\n"), 0);
  EXPECT_EQ(compare("no line feed"), 0);
  EXPECT_EQ(view.statuses.back(), kStatusNoUpdates);
  EXPECT_TRUE(view.latest_writes.empty());
}

TEST_F(CompareStep, VersionsCompareAsByteStrings) {
  set("plo.exe", "9,00,0,0000");
  set("sef.dll", "1,09,0,0000");
  set("nuri.dll", "1,00,0,0009");
  EXPECT_EQ(compare("plo.exe&10,00,0,0000\nsef.dll&1,10,0,0000\nnuri.dll&1,00,0,0010\n"), 2);
  EXPECT_EQ(table.UpdateFlags[row_of("plo.exe")], 0);  // "10" sorts below "9"
  EXPECT_EQ(table.UpdateFlags[row_of("sef.dll")], 1);
  EXPECT_EQ(table.UpdateFlags[row_of("nuri.dll")], 1);
}

TEST_F(CompareStep, LocalTextsThatAreNoVersion) {
  set("plo.exe", "-");
  set("sef.dll", " (not free memory) ");
  set("nuri.dll", "GetFileVersionInfo error (5)");
  set("fule.dll", "VerQueryValue error (1813)");
  EXPECT_EQ(compare("plo.exe&1,00,0,0001\nsef.dll&1\nnuri.dll&9,99,9,9999\nfule.dll&9\n"), 2);
  EXPECT_EQ(table.UpdateFlags[row_of("plo.exe")], 1);
  EXPECT_EQ(table.UpdateFlags[row_of("sef.dll")], 1);
}

TEST_F(CompareStep, BytesAreUnsigned) {
  set("plo.exe", "1");
  EXPECT_EQ(compare("plo.exe&\x81\x40\n"), 1);  // a lead byte above 0x7F is greater, not negative
  EXPECT_EQ(compare_version_texts("\xFF", "1"), 0xFF - '1');
  EXPECT_LT(compare_version_texts("1,00", "1,00,0"), 0);
  EXPECT_EQ(compare_version_texts("1,00", "1,00"), 0);
}

TEST_F(CompareStep, EmptyEntryEndsTheComparison) {
  EXPECT_EQ(compare("plo.exe&2\nsef.dll&2\nno ampersand\nnuri.dll&2\n"), 2);
  EXPECT_EQ(table.UpdateFlags[row_of("nuri.dll")], 0);
  EXPECT_EQ(compare("plo.exe&2\n&1,00,0,0001\nnuri.dll&2\n"), 1);
}

TEST_F(CompareStep, NamesMatchWithLetterCaseAndUnknownNamesAreSkipped) {
  EXPECT_EQ(compare("PLO.EXE&9,00,0,0000\nother.dll&9\nsef.dll&2\n"), 1);
  EXPECT_EQ(table.UpdateFlags[row_of("plo.exe")], 0);
  EXPECT_EQ(table.UpdateFlags[row_of("sef.dll")], 1);
}

TEST_F(CompareStep, OversizedEntriesMatchNothingAndTheRestIsStillCompared) {
  // 13 bytes whose first 12 spell a managed name: must not be taken for it.
  EXPECT_EQ(compare("hexaloun.dllx&9\nplo.exe&123456789012345678901\nsef.dll&2\n"), 1);
  EXPECT_EQ(table.UpdateFlags[row_of("hexaloun.dll")], 0);
  EXPECT_EQ(table.UpdateFlags[row_of("plo.exe")], 0);
  EXPECT_EQ(table.UpdateFlags[row_of("sef.dll")], 1);
}

TEST_F(CompareStep, SameNameTwiceCountsTwiceAndShowsTheLaterVersion) {
  EXPECT_EQ(compare("plo.exe&2\nplo.exe&3\n"), 2);
  EXPECT_EQ(table.UpdateFlags[0], 1);
  EXPECT_EQ(flagged_count(), 1);
  EXPECT_EQ(view.rows[0].latest, "3");
}

TEST_F(CompareStep, FlagsOfAnEarlierComparisonDoNotSurvive) {
  EXPECT_EQ(compare("plo.exe&2\nsef.dll&2\n"), 2);
  set("plo.exe", "2");  // as after an installation
  EXPECT_EQ(compare("plo.exe&2\nsef.dll&2\n"), 1);
  EXPECT_EQ(table.UpdateFlags[0], 0);
  EXPECT_EQ(table.UpdateFlags[row_of("sef.dll")], 1);
}

TEST_F(CompareStep, SameTextTwiceGivesTheSameResult) {
  const std::string text = "plo.exe&2\nrova.chm&3\n";
  EXPECT_EQ(compare(text), 2);
  EXPECT_EQ(compare(text), 2);
  EXPECT_EQ(flagged_count(), 2);
}

TEST_F(CompareStep, OnlyTheFirst26EntriesAreRead) {
  std::string text;
  for (int i = 0; i < 26; ++i) text += "unknown&9\n";
  text += "plo.exe&9\n";
  EXPECT_EQ(compare(text), 0);
}

TEST_F(CompareStep, RowsBeyondTheTableAreNeverTouched) {
  table.UpdateFlags[27] = 7;
  compare("plo.exe&2\n");
  EXPECT_EQ(table.UpdateFlags[27], 7);
}

}  // namespace
}  // namespace tolvex
