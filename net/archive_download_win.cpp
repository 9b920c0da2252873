#include <string>

#include "base/error_code.h"
#include "net/archive_file.h"
#include "net/http_get_win.h"
#include "net/http_transfer.h"
#include "net/transfer_texts.h"
#include "settings/settings.h"

namespace tolvex {
namespace {

constexpr unsigned long kStatusOk = 200;

}  // namespace

int download_file(const char* archive_name, ProgressCallback callback, const BodyObserver& written,
                  std::int64_t signed_size) {
  HttpGet request;
  const std::string url = update_url() + archive_name;
  if (!request.send(url.c_str(), nullptr)) return fail_with(kErrorTransfer);
  if (request.status_code() != kStatusOk) return fail_with(kErrorTransfer);
  const std::int32_t announced = request.announced_length();
  const bool sized = signed_size >= 0;
  if (sized && announced >= 0 && announced != signed_size) return fail_with(kErrorArchiveNotSigned);
  if (sized) request.limit_body(signed_size + 1);  // one byte past the size shows a longer body

  ArchiveFile file;
  if (!file.create(archive_name)) return fail_with(kErrorSaveFileOpen);
  char progress_text[kStatusTextSize] = {};
  format_download_progress_text(archive_name, progress_text);

  // Each slice is written before it is reported, so an abort leaves exactly the reported bytes.
  // A body that runs past the signed size is cut there: no server can fill the disk.
  std::int64_t stored = 0;
  bool too_long = false;
  auto store = [&](const char* slice, std::size_t length) {
    if (sized && static_cast<std::int64_t>(length) > signed_size - stored) {
      too_long = true;
      return false;
    }
    if (!file.write(slice, length)) return false;
    stored += static_cast<std::int64_t>(length);
    if (written) written(slice, length);
    return true;
  };
  const TransferEnd end = read_body_with_progress(request, announced, progress_text, callback, store);
  const bool closed = file.close();
  if (too_long) return fail_with(kErrorArchiveNotSigned);
  if (end == TransferEnd::kAborted) return fail_with(kErrorAborted);
  if (end == TransferEnd::kStoreFailed || !closed) return fail_with(kErrorSaveFileWrite);
  if (end == TransferEnd::kBroken) return fail_with(kErrorTransfer);
  return 1;
}

}  // namespace tolvex
