#pragma once
// The transfers of a build that carries public keys. A list is kept only when the manifest
// beside it ("<list name>.sig") is signed by one of the keys and gives the list's SHA-256; an
// archive is kept only when the kept manifest names it with the SHA-256 of the bytes written.
// Windows only (the platform's cryptography).
#include <vector>

#include "net/update_transfers.h"
#include "trust/manifest.h"
#include "trust/public_key_text.h"

namespace tolvex {

class SignedTransfers : public UpdateTransfers {
 public:
  explicit SignedTransfers(std::vector<trust::PublicKey> keys);

  // As the plain list fetch, then the manifest's fetch (2026 when it cannot be fetched, 2021
  // when aborted) and check (2027). On any failure the kept list and manifest stay as they were.
  int fetch_update_list(ProgressCallback callback) override;

  // As the plain download, after which the archive's SHA-256 must be the kept manifest's. An
  // archive the manifest does not name is not requested; one whose hash differs is deleted.
  // Both fail with 2028.
  int download_file(const char* archive_name, ProgressCallback callback) override;

 private:
  std::vector<trust::PublicKey> keys_;
  bool have_manifest_ = false;
  trust::Manifest manifest_;  // the manifest of the kept list
};

}  // namespace tolvex
