#pragma once
// The two transfers as the commands see them, behind an interface so that the commands can be
// tested without a server: the real one is the WinInet code of http_transfer.h, tests script
// the results.
#include "base/archive_guard.h"
#include "base/progress_callback.h"

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
};

// The transfers over WinInet (Windows only).
UpdateTransfers& wininet_transfers();

}  // namespace tolvex
