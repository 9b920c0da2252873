#include <string>

#include "settings/settings.h"
#include "catalogue/update_list_text.h"
#include "base/error_code.h"
#include "net/http_get_win.h"
#include "net/http_transfer.h"
#include "net/list_text_builder.h"
#include "net/transfer_texts.h"

namespace tolvex {
namespace {

constexpr char kListRequestHeaders[] = "Accept: text/*\r\nUser-Agent: TOLVEX.EXE\r\n";
constexpr unsigned long kStatusOk = 200;
constexpr unsigned long kStatusNotFound = 404;

int fail(ErrorCode code) {
  set_last_error(code);
  return 0;
}

}  // namespace

int fetch_update_list(ProgressCallback callback) {
  HttpGet request;
  const std::string url = update_url() + update_list_name();
  if (!request.send(url.c_str(), kListRequestHeaders)) return fail(kErrorTransfer);

  const unsigned long status = request.status_code();
  if (status == kStatusNotFound) return fail(kErrorNoFileAtUrl);
  if (status != kStatusOk) return fail(kErrorTransfer);

  // The text starts at the announced size and grows when the body is longer or announced none.
  std::int32_t announced = 0;
  const bool has_length = request.announced_length(announced) && announced >= 0;
  if (!has_length) announced = 0;
  ListTextBuilder text;
  if (!text.reserve(static_cast<std::size_t>(announced))) return fail(kErrorOutOfMemory);

  std::uint32_t received = 0;
  bool too_long = false;
  bool aborted = false;
  const BodyEnd end = read_body_in_slices(request, [&](const char* slice, std::size_t length) {
    if (!text.append_chunk(slice, length)) {
      too_long = true;
      return false;
    }
    received += static_cast<std::uint32_t>(length);
    if (callback != nullptr &&
        callback(kTransferProgress, received, static_cast<std::uint32_t>(announced), kListProgressText) != 0) {
      aborted = true;
      return false;
    }
    return true;
  });

  if (aborted) return fail(kErrorAborted);
  if (too_long) return fail(kErrorOutOfMemory);
  if (end != BodyEnd::kComplete) return fail(kErrorTransfer);
  // A connection cut before the announced end is not the whole list.
  if (has_length && received < static_cast<std::uint32_t>(announced)) return fail(kErrorTransfer);
  replace_update_list_text(text.release());
  return 1;
}

}  // namespace tolvex
