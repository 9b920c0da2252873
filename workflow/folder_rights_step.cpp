#include "workflow/folder_rights_step.h"

#include "workflow/folder_rights.h"

namespace tolvex {

const char kElevationQuestion[] =
    "このフォルダにファイルを書き込む権限がありません。\n管理者として実行し直してアップデートしますか？";
const char kElevationDeclined[] = "ファイルを書き込めないため、アップデートを中止しました。";
const char kElevationNotStarted[] = "管理者として実行できなかったため、アップデートを中止しました。";
const char kFolderNotWritable[] = "このフォルダにファイルを書き込めないため、アップデートできません。";
const char kHandedOverNote[] = "管理者として実行したアップデートに引き継ぎました。";

namespace {
constexpr const char kCaption[] = "アップデート";
}  // namespace

bool working_folder_writable(const CommandContext& context) {
  return context.rights == nullptr || context.rights->working_folder_writable();
}

UnwritableFolderOutcome resolve_unwritable_folder(CommandContext& context) {
  FolderRights& rights = *context.rights;
  const NativeWindow owner = context.window.owner();
  auto stop = [&](const char* text, BoxKind kind) {
    context.boxes.show(owner, text, kCaption, kind);
    return UnwritableFolderOutcome{false, text};
  };
  if (rights.elevated()) return stop(kFolderNotWritable, BoxKind::kStop);
  if (context.boxes.show(owner, kElevationQuestion, kCaption, BoxKind::kQuestion) != BoxAnswer::kYes)
    return stop(kElevationDeclined, BoxKind::kInformation);
  if (rights.start_elevated_update() == ElevatedStart::kStarted) return {true, kHandedOverNote};
  return stop(kElevationNotStarted, BoxKind::kStop);
}

}  // namespace tolvex
