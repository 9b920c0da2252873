#pragma once
// The HTTP transfers of the updater. Each opens its own session, connection and GET request,
// closes them before returning, reads the settings afresh, reports progress after every chunk
// of at most 1023 bytes stored, and on failure leaves the reason in LastError and returns 0. A
// success leaves LastError as it was.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "base/progress_callback.h"
#include "net/list_text_builder.h"

namespace tolvex {

// Sees every body byte of a transfer as it is stored, in order (to hash it on the way).
using BodyObserver = std::function<void(const char* bytes, std::size_t length)>;

// GETs the "URL" setting followed by the "name" setting (list request headers
// "Accept: text/*" and "User-Agent: TOLVEX.EXE") into `text`, without keeping it. `callback`
// may be null (no progress, no abort); `seen`, when set, sees the raw body.
// Failures: 2019 (URL not usable, transfer failed, body shorter than announced, status other
// than 200/404), 2010 (status 404), 2017 (list larger than 1 MiB), 2021 (aborted).
[[nodiscard]] int fetch_list_text(ProgressCallback callback, ListTextBuilder& text, const BodyObserver& seen = {});

// fetch_list_text into the process-wide UpdateList text, which is replaced only when the whole
// list arrived.
[[nodiscard]] int fetch_update_list(ProgressCallback callback);

// GETs the "URL" setting followed by `name` (the signed manifest beside the list) into `text`,
// with the list's request headers and progress text.
// Failures: 2026 (URL not usable, transfer failed, status other than 200, body shorter than
// announced), 2027 (longer than `limit` bytes: not a manifest), 2021 (aborted).
[[nodiscard]] int fetch_manifest_text(const std::string& name, std::size_t limit, ProgressCallback callback,
                                      std::string& text);

// GETs the "URL" setting followed by `archive_name` into the file `archive_name` of the current
// directory (truncated if it exists). `callback` may be null; `written`, when set, sees every
// byte written, in order. `signed_size`, when not negative, is the size the archive must have:
// a response announcing another length fails before the file is created, and a body that runs
// past it fails as soon as it does, with no more than `signed_size` bytes written.
// Failures: 2019 (URL not usable, transfer failed, status other than 200, body shorter than
// announced), 2011 (file cannot be created), 2012 (file cannot be written), 2021 (aborted;
// the file keeps exactly the bytes reported so far), 2028 (not of the signed size).
[[nodiscard]] int download_file(const char* archive_name, ProgressCallback callback, const BodyObserver& written = {},
                                std::int64_t signed_size = -1);

}  // namespace tolvex
