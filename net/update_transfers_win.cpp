#include "net/update_transfers.h"

#include <string>

#include "base/errors.h"
#include "catalogue/update_list.h"
#include "net/http_get_win.h"
#include "settings/settings.h"

namespace tolvex {
namespace {

constexpr char kListRequestHeaders[] = "Accept: text/*\r\nUser-Agent: TOLVEX.EXE\r\n";
constexpr unsigned long kStatusOk = 200;
constexpr unsigned long kStatusNotFound = 404;

class WinInetTransfers : public UpdateTransfers {
 public:
  int fetch_update_list(ProgressCallback callback) override { return tolvex::fetch_update_list(callback); }
  int download_file(const char* archive_name, ProgressCallback callback) override {
    return tolvex::download_file(archive_name, callback);
  }
  bool authenticated() override { return is_https_address(update_url()); }
};

}  // namespace

UpdateTransfers& wininet_transfers() {
  static WinInetTransfers transfers;
  return transfers;
}

int fetch_list_text(ProgressCallback callback, ListTextBuilder& text, const BodyObserver& seen) {
  HttpGet request;
  const std::string url = update_url() + update_list_name();
  if (!request.send(url.c_str(), kListRequestHeaders)) return fail_with(kErrorTransfer);

  const unsigned long status = request.status_code();
  if (status == kStatusNotFound) return fail_with(kErrorNoFileAtUrl);
  if (status != kStatusOk) return fail_with(kErrorTransfer);

  // The text starts at the announced size and grows when the body is longer or announced none.
  const std::int32_t announced = request.announced_length();
  if (!text.reserve(announced > 0 ? static_cast<std::size_t>(announced) : 0)) return fail_with(kErrorOutOfMemory);

  auto store = [&](const char* slice, std::size_t length) {
    if (seen) seen(slice, length);
    return text.append_chunk(slice, length);
  };
  switch (read_body_with_progress(request, announced, kListProgressText, callback, store)) {
    case TransferEnd::kAborted:
      return fail_with(kErrorAborted);
    case TransferEnd::kStoreFailed:
      return fail_with(kErrorOutOfMemory);
    case TransferEnd::kBroken:
      return fail_with(kErrorTransfer);
    case TransferEnd::kComplete:
      break;
  }
  return 1;
}

int fetch_update_list(ProgressCallback callback) {
  ListTextBuilder text;
  if (fetch_list_text(callback, text) == 0) return 0;
  replace_update_list_text(text.release());
  return 1;
}

int fetch_manifest_text(const std::string& name, std::size_t limit, ProgressCallback callback, std::string& text) {
  HttpGet request;
  const std::string url = update_url() + name;
  if (!request.send(url.c_str(), kListRequestHeaders)) return fail_with(kErrorManifestFetch);
  if (request.status_code() != kStatusOk) return fail_with(kErrorManifestFetch);

  std::string body;
  auto store = [&](const char* slice, std::size_t length) {
    if (length > limit - body.size()) return false;
    body.append(slice, length);
    return true;
  };
  switch (read_body_with_progress(request, request.announced_length(), kListProgressText, callback, store)) {
    case TransferEnd::kAborted:
      return fail_with(kErrorAborted);
    case TransferEnd::kStoreFailed:
      return fail_with(kErrorBadSignature);
    case TransferEnd::kBroken:
      return fail_with(kErrorManifestFetch);
    case TransferEnd::kComplete:
      break;
  }
  text.swap(body);
  return 1;
}

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
