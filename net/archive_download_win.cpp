#include <string>

#include "settings/settings.h"
#include "net/archive_file.h"
#include "base/error_code.h"
#include "net/http_get_win.h"
#include "net/http_transfer.h"
#include "net/transfer_texts.h"

namespace tolvex {
namespace {

constexpr unsigned long kStatusOk = 200;

int fail(ErrorCode code) {
  set_last_error(code);
  return 0;
}

}  // namespace

int download_file(const char* archive_name, ProgressCallback callback) {
  HttpGet request;
  const std::string url = update_url() + archive_name;
  if (!request.send(url.c_str(), nullptr)) return fail(kErrorTransfer);
  if (request.status_code() != kStatusOk) return fail(kErrorTransfer);

  std::int32_t announced = 0;  // used for progress and to tell a complete body from a cut one
  const bool has_length = request.announced_length(announced) && announced >= 0;
  if (!has_length) announced = 0;

  ArchiveFile file;
  if (!file.create(archive_name)) return fail(kErrorSaveFileOpen);
  char progress_text[kStatusTextSize] = {};
  format_download_progress_text(archive_name, progress_text);

  // Each slice is written before it is reported, so an abort leaves exactly the reported bytes.
  std::uint32_t received = 0;
  bool write_failed = false;
  bool aborted = false;
  const BodyEnd end = read_body_in_slices(request, [&](const char* slice, std::size_t length) {
    if (!file.write(slice, length)) {
      write_failed = true;
      return false;
    }
    received += static_cast<std::uint32_t>(length);
    if (callback != nullptr &&
        callback(kTransferProgress, received, static_cast<std::uint32_t>(announced), progress_text) != 0) {
      aborted = true;
      return false;
    }
    return true;
  });

  const bool closed = file.close();
  if (aborted) return fail(kErrorAborted);
  if (write_failed || !closed) return fail(kErrorSaveFileWrite);
  if (end != BodyEnd::kComplete) return fail(kErrorTransfer);
  if (has_length && received < static_cast<std::uint32_t>(announced)) return fail(kErrorTransfer);
  return 1;
}

}  // namespace tolvex
