#pragma once
// The two HTTP transfers of the updater. Each opens its own session, connection and GET
// request, closes them before returning, reads the settings afresh, reports progress after
// every chunk of at most 1023 bytes stored, and on failure leaves the reason in LastError and
// returns 0. A success leaves LastError as it was.
#include "base/progress_callback.h"

namespace tolvex {

// GETs the "URL" setting followed by the "name" setting (list request headers
// "Accept: text/*" and "User-Agent: TOLVEX.EXE") into the process-wide UpdateList text, which
// is replaced only when the whole list arrived. `callback` may be null (no progress, no abort).
// Failures: 2019 (URL not usable, transfer failed, body shorter than announced, status other
// than 200/404), 2010 (status 404), 2017 (list larger than 1 MiB), 2021 (aborted).
[[nodiscard]] int fetch_update_list(ProgressCallback callback);

// GETs the "URL" setting followed by `archive_name` into the file `archive_name` of the current
// directory (truncated if it exists). `callback` may be null.
// Failures: 2019 (URL not usable, transfer failed, status other than 200, body shorter than
// announced), 2011 (file cannot be created), 2012 (file cannot be written), 2021 (aborted;
// the file keeps exactly the bytes reported so far).
[[nodiscard]] int download_file(const char* archive_name, ProgressCallback callback);

}  // namespace tolvex
