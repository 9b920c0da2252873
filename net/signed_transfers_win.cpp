#include "net/signed_transfers_win.h"

#include <algorithm>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "base/errors.h"
#include "catalogue/update_list.h"
#include "net/update_transfers.h"
#include "settings/settings.h"
#include "trust/cng_crypto_win.h"
#include "trust/release_check.h"
#include "win/process_win.h"

namespace tolvex {
namespace {

// The list's own file name: the "name" setting may reach into a subfolder of the URL.
std::string bare_list_name(const std::string& list_name) {
  const std::size_t slash = list_name.find_last_of('/');
  return slash == std::string::npos ? list_name : list_name.substr(slash + 1);
}

// Deletes a download that did not end in a verified archive, keeping the failure's code.
int discard_download(const char* archive_name) {
  const ErrorCode code = last_error();
  DeleteFileA(archive_name);
  return fail_with(code);
}

// Hashes the rest of the open file; false when it cannot be read or its size is not `size`.
bool hash_open_file(HANDLE file, std::int64_t size, trust::Sha256& digest) {
  trust::Sha256Stream hash;
  static constexpr DWORD kChunk = 64 * 1024;
  std::vector<char> buffer(kChunk);
  std::int64_t total = 0;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file, buffer.data(), kChunk, &read, nullptr)) return false;
    if (read == 0) break;
    total += read;
    if (size >= 0 && total > size) return false;
    hash.update(buffer.data(), read);
  }
  return (size < 0 || total == size) && hash.finish(digest);
}

}  // namespace

std::int64_t utc_now() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  constexpr std::uint64_t kTicksPerSecond = 10000000;
  constexpr std::uint64_t kSecondsFrom1601To1970 = 11644473600ull;
  return static_cast<std::int64_t>(ticks / kTicksPerSecond) - static_cast<std::int64_t>(kSecondsFrom1601To1970);
}

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
  // Judged against the higher of this user's record and this machine's.
  const std::uint64_t user_serial = read_release_serial();
  const std::uint64_t machine_serial = read_machine_release_serial();
  const bool administrator = process_elevated();
  const trust::ReleaseHistory history{std::max(user_serial, machine_serial), utc_now(), administrator};
  switch (trust::accept_signed_list(manifest_text.data(), manifest_text.size(), bare_list_name(list_name), digest,
                                    keys_, trust::signature_valid, history, accepted, reason)) {
    case trust::ListVerdict::kAccepted:
      break;
    case trust::ListVerdict::kOlderRelease:
      return fail_with(kErrorOlderRelease);
    case trust::ListVerdict::kExpired:
      return fail_with(kErrorReleaseExpired);
    case trust::ListVerdict::kBadSignature:
      return fail_with(kErrorBadSignature);
  }
  // Recorded only now that the list is accepted. Should the profile refuse the write, this
  // list still stands; the next check is then judged against the older record.
  if (accepted.serial > user_serial) (void)write_release_serial(accepted.serial);
  if (administrator && accepted.serial > machine_serial) (void)write_machine_release_serial(accepted.serial);
  replace_update_list_text(text.release());
  manifest_ = std::move(accepted);
  have_manifest_ = true;
  return 1;
}

int SignedTransfers::download_file(const char* archive_name, ProgressCallback callback) {
  const trust::ManifestEntry* expected = have_manifest_ ? trust::signed_archive(manifest_, archive_name) : nullptr;
  if (expected == nullptr) {
    set_last_error(kErrorArchiveNotSigned);
    return discard_download(archive_name);
  }
  trust::Sha256Stream archive_hash;
  auto written = [&](const char* bytes, std::size_t length) { archive_hash.update(bytes, length); };
  if (tolvex::download_file(archive_name, callback, written, expected->size) == 0)
    return discard_download(archive_name);

  trust::Sha256 digest{};
  if (!archive_hash.finish(digest) || digest != expected->sha256) {
    set_last_error(kErrorArchiveNotSigned);
    return discard_download(archive_name);
  }
  return 1;
}

bool SignedTransfers::hold(const char* archive_name) {
  release();
  const trust::ManifestEntry* expected = have_manifest_ ? trust::signed_archive(manifest_, archive_name) : nullptr;
  if (expected == nullptr) return false;
  // Readers may share it (the archive library opens it by name); writers and deleters may not.
  held_.reset(CreateFileA(archive_name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  trust::Sha256 digest{};
  if (held_.valid() && hash_open_file(held_.get(), expected->size, digest) && digest == expected->sha256) return true;
  release();
  return false;
}

void SignedTransfers::release() { (void)held_.close(); }

}  // namespace tolvex
