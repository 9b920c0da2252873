#pragma once
// The progress texts that the transfers pass to the callback (code page 932).
#include <cstddef>

#include "base/error_messages.h"

namespace tolvex {

// Shown while the update list is fetched.
extern const char kListProgressText[];  // "アップデート情報を取得しています。"

// "<archive>をダウンロードしています。" into `destination` (`size` bytes, NUL-terminated; a
// name too long for it is cut on a character boundary before the fixed part).
void format_download_progress_text(const char* archive_name, char* destination, std::size_t size = kStatusTextSize);

}  // namespace tolvex
