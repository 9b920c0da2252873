// The rig runs Windows programs with the Japanese code page, as users' machines do.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

TEST(CodePage, AnsiCodePageIs932) { EXPECT_EQ(GetACP(), 932u); }

TEST(CodePage, NarrowLiteralsDecodeUnderTheAnsiCodePage) {
  const char text[] = "ソフト表示";
  wchar_t wide[16] = {};
  int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide, 16);
  ASSERT_EQ(n, 6);
  EXPECT_EQ(std::wstring(wide), L"\u30BD\u30D5\u30C8\u8868\u793A");
}

}  // namespace
