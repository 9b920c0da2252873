#pragma once
// The HTTP transfers of the updater, and the interface through which the commands see them so
// that they can be tested without a server (tests script the results). Each transfer opens its
// own session, connection and GET request, closes them before returning, reads the settings
// afresh, reports progress after every chunk of at most 1023 bytes stored, and on failure leaves
// the reason in LastError and returns 0. A success leaves LastError as it was.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "base/archive_guard.h"
#include "base/window_surfaces.h"
#include "net/http_body.h"

namespace tolvex {

class UpdateTransfers {
 public:
  virtual ~UpdateTransfers() = default;
  // As fetch_update_list: 1 when the whole list arrived and replaced the kept text; 0 with
  // LastError set.
  [[nodiscard]] virtual int fetch_update_list(ProgressCallback callback) = 0;
  // As download_file: 1 when the archive is stored whole; 0 with LastError set.
  [[nodiscard]] virtual int download_file(const char* archive_name, ProgressCallback callback) = 0;
  // What keeps the downloaded archives as checked until they are extracted; null when the
  // transfers check nothing.
  virtual ArchiveGuard* archive_guard() { return nullptr; }
  // True when what these transfers bring is authenticated, so that it may be installed with
  // administrator rights: signed releases, or a server that proves who it is (an https address).
  virtual bool authenticated() { return false; }
};

// True when `url` begins with "https://" (in any case).
bool is_https_address(const std::string& url);

// The transfers over WinInet (Windows only): the functions below. They are authenticated when the
// "URL" setting is an https address.
UpdateTransfers& wininet_transfers();

// Sees every body byte of a transfer as it is stored, in order (to hash it on the way).
using BodyObserver = std::function<void(const char* bytes, std::size_t length)>;

// GETs the "URL" setting followed by the "name" setting (list request headers
// "Accept: text/*" and "User-Agent: TOLVEX.EXE") into `text`, without keeping it. `callback`
// may be null (no progress, no abort); `seen`, when set, sees the raw body.
// Failures: kErrorTransfer (URL not usable, transfer failed, body shorter than announced, status
// other than 200/404), kErrorNoFileAtUrl (status 404), kErrorOutOfMemory (list larger than
// 1 MiB), kErrorAborted.
[[nodiscard]] int fetch_list_text(ProgressCallback callback, ListTextBuilder& text, const BodyObserver& seen = {});

// fetch_list_text into the process-wide UpdateList text, which is replaced only when the whole
// list arrived.
[[nodiscard]] int fetch_update_list(ProgressCallback callback);

// GETs the "URL" setting followed by `name` (the signed manifest beside the list) into `text`,
// with the list's request headers and progress text.
// Failures: kErrorManifestFetch (URL not usable, transfer failed, status other than 200, body
// shorter than announced), kErrorBadSignature (longer than `limit` bytes: not a manifest),
// kErrorAborted.
[[nodiscard]] int fetch_manifest_text(const std::string& name, std::size_t limit, ProgressCallback callback,
                                      std::string& text);

// GETs the "URL" setting followed by `archive_name` into the file `archive_name` of the current
// directory (truncated if it exists). `callback` may be null; `written`, when set, sees every
// byte written, in order. `signed_size`, when not negative, is the size the archive must have:
// a response announcing another length fails before the file is created, and a body that runs
// past it fails as soon as it does, with no more than `signed_size` bytes written.
// Failures: kErrorTransfer (URL not usable, transfer failed, status other than 200, body shorter
// than announced), kErrorSaveFileOpen (file cannot be created), kErrorSaveFileWrite (file cannot
// be written), kErrorAborted (the file keeps exactly the bytes reported so far),
// kErrorArchiveNotSigned (not of the signed size).
[[nodiscard]] int download_file(const char* archive_name, ProgressCallback callback, const BodyObserver& written = {},
                                std::int64_t signed_size = -1);

}  // namespace tolvex
