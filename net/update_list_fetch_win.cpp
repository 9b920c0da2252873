#include <string>

#include "base/error_code.h"
#include "catalogue/update_list_text.h"
#include "net/http_get_win.h"
#include "net/http_transfer.h"
#include "net/list_text_builder.h"
#include "net/transfer_texts.h"
#include "settings/settings.h"

namespace tolvex {
namespace {

constexpr char kListRequestHeaders[] = "Accept: text/*\r\nUser-Agent: TOLVEX.EXE\r\n";
constexpr unsigned long kStatusOk = 200;
constexpr unsigned long kStatusNotFound = 404;

}  // namespace

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

}  // namespace tolvex
