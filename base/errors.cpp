#include "base/errors.h"

#include "base/window_surfaces.h"
#include "text/cp932.h"

namespace tolvex {
namespace {

// Process-wide, user-interface thread only.
ErrorCode g_last_error = kErrorNone;
bool g_abort_requested = false;

struct MessageEntry {
  ErrorCode code;
  const char* text;
};

// kErrorTransfer has no entry of its own: it shares the default text with every unknown code.
constexpr MessageEntry kMessages[] = {
    {kErrorProvider, "プロバイダの指定が間違っています。"},
    {kErrorUserInfo, "ユーザ情報に誤りがあります。"},
    {kErrorConnectionStatus, "接続ステータスの取得に失敗しました。"},
    {kErrorNotConnected, "ネットワークに接続されていません。"},
    {kErrorNoDialUpName, "ダイアルアップ接続名がありません。"},
    {kErrorDialUpNameRead, "ダイアルアップ接続名の取得に失敗しました。"},
    {kErrorDialUpInfoRead, "ダイアルアップ接続情報の取得に失敗しました。"},
    {kErrorDialFailed, "ダイアルアップ接続に失敗しました。"},
    {kErrorHangUpFailed, "ネットワークの切断に失敗しました。"},
    {kErrorNoFileAtUrl, "指定されたURLにファイルが存在しません。"},
    {kErrorSaveFileOpen, "保存ファイルのオープンに失敗しました。"},
    {kErrorSaveFileWrite, "保存ファイルの書き込みに失敗しました。"},
    {kErrorSettingsMissing, "設定ファイルが存在しません。"},
    {kErrorSettingsOpen, "設定ファイルのオープンに失敗しました。"},
    {kErrorSettingsRead, "設定ファイルの読み込みに失敗しました。"},
    {kErrorFileType, "ファイル種別が不正です。"},
    {kErrorOutOfMemory, "メモリが不足しています。"},
    {kErrorFinalisation, "終了化に失敗しました。"},
    {kErrorCredentials, "IDあるいはPASSWORDに誤りがあります。"},
    {kErrorAborted, "中断処理が行われました。"},
    {kErrorAlreadyNetworked, "すでにネットワークに接続されています。"},
    {kErrorAlreadyDialled, "すでにダイアルアップ接続されています。"},
    {kErrorBadArgument, "関数の引数に誤りがあります。"},
    {kErrorManifestFetch, "署名ファイルの取得に失敗しました。"},
    {kErrorBadSignature, "アップデート情報の署名が正しくありません。"},
    {kErrorArchiveNotSigned, "ダウンロードしたファイルが署名と一致しません。"},
    {kErrorOlderRelease, "アップデート情報が以前のものより古いため使用できません。"},
    {kErrorReleaseExpired, "アップデート情報の有効期限が切れています。"},
};

constexpr const char* kDefaultMessage = "予期せぬエラーが発生しました。";

}  // namespace

const char* error_message(ErrorCode code) {
  for (const MessageEntry& entry : kMessages) {
    if (entry.code == code) return entry.text;
  }
  return kDefaultMessage;
}

void describe_error(ErrorCode code, char* destination, std::size_t size) {
  copy_cp932_text(destination, size, error_message(code));
}

void show_last_error(StatusSurface& status) {
  char message[kStatusTextSize] = {};
  describe_error(last_error(), message);
  status.show_status(message);
}

ErrorCode last_error() { return g_last_error; }

void set_last_error(ErrorCode code) { g_last_error = code; }

bool abort_requested() { return g_abort_requested; }

void set_abort_requested(bool requested) { g_abort_requested = requested; }

}  // namespace tolvex
