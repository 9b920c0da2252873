// The codes, the message table, the default text and the LastError register.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/errors.h"

namespace tolvex {
namespace {

std::string describe(ErrorCode code) {
  char buffer[kStatusTextSize] = {};
  describe_error(code, buffer);
  return buffer;
}

TEST(DescribeError, EntriesAndTheDefaultText) {
  static_assert(kErrorProvider == 2001 && kErrorTransfer == 2019 && kErrorBadArgument == 2024 &&
                    kErrorManifestFetch == 2026 && kErrorReleaseExpired == 2030,
                "the codes keep their numbers");
  const std::string fallback = "予期せぬエラーが発生しました。";
  EXPECT_EQ(describe(kErrorTransfer), fallback);
  EXPECT_EQ(describe(0), fallback);
  EXPECT_EQ(describe(2000), fallback);
  EXPECT_EQ(describe(2025), fallback);
  EXPECT_EQ(describe(-2010), fallback);
  EXPECT_EQ(describe(kErrorProvider), "プロバイダの指定が間違っています。");
  EXPECT_EQ(describe(kErrorNoFileAtUrl), "指定されたURLにファイルが存在しません。");
  EXPECT_EQ(describe(kErrorSaveFileWrite), "保存ファイルの書き込みに失敗しました。");
  EXPECT_EQ(describe(kErrorCredentials), "IDあるいはPASSWORDに誤りがあります。");
  EXPECT_EQ(describe(kErrorBadArgument), "関数の引数に誤りがあります。");
  EXPECT_EQ(describe(kErrorManifestFetch), "署名ファイルの取得に失敗しました。");
  EXPECT_EQ(describe(kErrorBadSignature), "アップデート情報の署名が正しくありません。");
  EXPECT_EQ(describe(kErrorArchiveNotSigned), "ダウンロードしたファイルが署名と一致しません。");
  EXPECT_EQ(describe(kErrorOlderRelease), "アップデート情報が以前のものより古いため使用できません。");
  EXPECT_EQ(describe(kErrorReleaseExpired), "アップデート情報の有効期限が切れています。");
  EXPECT_EQ(describe(2031), fallback);
}

TEST(DescribeError, EveryCodeHasItsOwnTextExceptTransferFailures) {
  for (ErrorCode code = kErrorProvider; code <= kErrorReleaseExpired; ++code) {
    if (code == kErrorTransfer || code == 2025) continue;  // 2025: no code between the two ranges
    EXPECT_NE(describe(code), describe(kErrorTransfer)) << code;
    EXPECT_LE(std::strlen(error_message(code)), 56u) << code;  // the longest fits the status line
  }
}

TEST(DescribeError, CopiesTheTerminatorAndNothingAfterIt) {
  char buffer[kStatusTextSize];
  std::memset(buffer, 'x', sizeof buffer);
  describe_error(kErrorAborted, buffer);
  std::size_t length = std::strlen(buffer);
  EXPECT_EQ(std::string(buffer), "中断処理が行われました。");
  EXPECT_EQ(buffer[length + 1], 'x');
}

TEST(DescribeError, SmallDestinationIsCutOnACharacterBoundary) {
  char buffer[6];
  describe_error(kErrorNoFileAtUrl, buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer), "指定");  // two double-byte characters, then the NUL
}

TEST(DescribeError, TextsAreCodePage932) {
  // 指 is 8E 77 in code page 932; its UTF-8 form would start with E6.
  const std::string text = describe(kErrorNoFileAtUrl);
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(text[0]), 0x8E);
  EXPECT_EQ(static_cast<unsigned char>(text[1]), 0x77);
}

TEST(LastError, KeepsTheLatestCodeUntilOverwritten) {
  set_last_error(kErrorNoFileAtUrl);
  EXPECT_EQ(last_error(), kErrorNoFileAtUrl);
  set_last_error(kErrorNone);
  EXPECT_EQ(last_error(), kErrorNone);
}

}  // namespace
}  // namespace tolvex
