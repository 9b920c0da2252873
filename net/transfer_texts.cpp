#include "net/transfer_texts.h"

#include <cstring>

#include "text/cp932.h"

namespace tolvex {
namespace {
constexpr char kDownloadingSuffix[] = "をダウンロードしています。";
}  // namespace

const char kListProgressText[] = "アップデート情報を取得しています。";

void format_download_progress_text(const char* archive_name, char* destination, std::size_t size) {
  const std::size_t suffix_length = sizeof kDownloadingSuffix - 1;
  if (size <= suffix_length) {
    copy_cp932_text(destination, size, kDownloadingSuffix);
    return;
  }
  copy_cp932_text(destination, size - suffix_length, archive_name);
  append_cp932_text(destination, size, kDownloadingSuffix);
}

}  // namespace tolvex
