#pragma once
// The transfers of a build that carries public keys. A list is kept only when the manifest
// beside it ("<list name>.sig") is signed by one of the keys, gives the list's SHA-256, is not
// older than a release accepted before and has not expired; an archive is kept only when the
// kept manifest names it with the size and SHA-256 of the bytes written, and it is held
// unchanged from a last check until its extraction has ended. Windows only (the platform's
// cryptography).
#include <cstdint>
#include <vector>

#include "net/update_transfers.h"
#include "trust/manifest.h"
#include "trust/text_forms.h"
#include "win/scoped_win.h"

namespace tolvex {

class SignedTransfers : public UpdateTransfers, private ArchiveGuard {
 public:
  explicit SignedTransfers(std::vector<trust::PublicKey> keys);

  // As the plain list fetch, then the manifest's fetch (kErrorManifestFetch when it cannot be
  // fetched, kErrorAborted when aborted) and check: kErrorBadSignature (bad signature, form or
  // list hash), kErrorOlderRelease (a lower serial than the highest accepted before, recorded in
  // the settings), kErrorReleaseExpired (expired by this machine's clock). On any failure the
  // kept list and manifest stay as they were; on success a higher serial is recorded.
  int fetch_update_list(ProgressCallback callback) override;

  // As the plain download, limited to the signed size, after which the archive's SHA-256 must be
  // the kept manifest's. An archive the manifest does not name is not requested; one of another
  // size or hash fails with kErrorArchiveNotSigned. Whatever does not end in a whole, matching archive (a refusal,
  // an abort, a failed transfer) leaves no archive behind.
  int download_file(const char* archive_name, ProgressCallback callback) override;

  ArchiveGuard* archive_guard() override { return this; }
  // Every release is signed.
  bool authenticated() override { return true; }

 private:
  // ArchiveGuard: opens the archive so that no other process can write, rename or delete it,
  // and hashes it again through that handle, which stays open until release().
  bool hold(const char* archive_name) override;
  void release() override;

  std::vector<trust::PublicKey> keys_;
  bool have_manifest_ = false;
  trust::Manifest manifest_;  // the manifest of the kept list
  OwnedHandle held_;          // the archive being extracted
};

// The machine's clock as seconds since 1970 UTC.
std::int64_t utc_now();

}  // namespace tolvex
