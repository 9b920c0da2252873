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

int download_file(const char* archive_name, ProgressCallback callback, const BodyObserver& written) {
  HttpGet request;
  const std::string url = update_url() + archive_name;
  if (!request.send(url.c_str(), nullptr)) return fail_with(kErrorTransfer);
  if (request.status_code() != kStatusOk) return fail_with(kErrorTransfer);

  ArchiveFile file;
  if (!file.create(archive_name)) return fail_with(kErrorSaveFileOpen);
  char progress_text[kStatusTextSize] = {};
  format_download_progress_text(archive_name, progress_text);

  // Each slice is written before it is reported, so an abort leaves exactly the reported bytes.
  auto store = [&](const char* slice, std::size_t length) {
    if (!file.write(slice, length)) return false;
    if (written) written(slice, length);
    return true;
  };
  const TransferEnd end = read_body_with_progress(request, request.announced_length(), progress_text, callback, store);
  const bool closed = file.close();
  if (end == TransferEnd::kAborted) return fail_with(kErrorAborted);
  if (end == TransferEnd::kStoreFailed || !closed) return fail_with(kErrorSaveFileWrite);
  if (end == TransferEnd::kBroken) return fail_with(kErrorTransfer);
  return 1;
}

}  // namespace tolvex
