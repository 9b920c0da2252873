#include "net/signed_transfers.h"

#include <windows.h>

#include <string>
#include <utility>

#include "base/error_code.h"
#include "catalogue/update_list_text.h"
#include "net/http_transfer.h"
#include "net/list_text_builder.h"
#include "settings/settings.h"
#include "trust/cng_crypto_win.h"
#include "trust/release_check.h"

namespace tolvex {
namespace {

// The list's own file name: the "name" setting may reach into a subfolder of the URL.
std::string bare_list_name(const std::string& list_name) {
  const std::size_t slash = list_name.find_last_of('/');
  return slash == std::string::npos ? list_name : list_name.substr(slash + 1);
}

}  // namespace

SignedTransfers::SignedTransfers(std::vector<trust::PublicKey> keys) : keys_(std::move(keys)) {}

int SignedTransfers::fetch_update_list(ProgressCallback callback) {
  ListTextBuilder text;
  trust::Sha256Stream list_hash;
  auto seen = [&](const char* bytes, std::size_t length) { list_hash.update(bytes, length); };
  if (fetch_list_text(callback, text, seen) == 0) return 0;

  const std::string list_name = update_list_name();
  std::string manifest_text;
  if (fetch_manifest_text(list_name + trust::kManifestSuffix, trust::kManifestMaxSize, callback, manifest_text) == 0)
    return 0;

  trust::Sha256 digest{};
  if (!list_hash.finish(digest)) return fail_with(kErrorBadSignature);
  trust::Manifest accepted;
  std::string reason;
  if (!trust::accept_signed_list(manifest_text.data(), manifest_text.size(), bare_list_name(list_name), digest, keys_,
                                 trust::signature_valid, accepted, reason)) {
    return fail_with(kErrorBadSignature);
  }
  replace_update_list_text(text.release());
  manifest_ = std::move(accepted);
  have_manifest_ = true;
  return 1;
}

int SignedTransfers::download_file(const char* archive_name, ProgressCallback callback) {
  const trust::Sha256* expected = have_manifest_ ? trust::signed_archive_hash(manifest_, archive_name) : nullptr;
  if (expected == nullptr) return fail_with(kErrorArchiveNotSigned);

  trust::Sha256Stream archive_hash;
  auto written = [&](const char* bytes, std::size_t length) { archive_hash.update(bytes, length); };
  if (tolvex::download_file(archive_name, callback, written) == 0) return 0;

  trust::Sha256 digest{};
  if (!archive_hash.finish(digest) || digest != *expected) {
    DeleteFileA(archive_name);
    return fail_with(kErrorArchiveNotSigned);
  }
  return 1;
}

}  // namespace tolvex
