#include "trust/release_check.h"

namespace tolvex::trust {

bool parse_public_key_list(const char* data, std::size_t size, std::vector<PublicKey>& keys, std::string& error) {
  keys.clear();
  std::size_t line_number = 0;
  for (std::size_t start = 0; start < size;) {
    std::size_t end = start;
    while (end < size && data[end] != '\n') ++end;
    ++line_number;
    std::size_t length = end - start;
    if (length > 0 && data[start + length - 1] == '\r') --length;
    if (length > 0) {
      PublicKey key{};
      if (!parse_public_key(data + start, length, key, error)) {
        error = "line " + std::to_string(line_number) + ": " + error;
        keys.clear();
        return false;
      }
      keys.push_back(key);
    }
    start = end + 1;
  }
  return true;
}

ListVerdict accept_signed_list(const char* manifest, std::size_t size, const std::string& list_name,
                               const Sha256& list_hash, const std::vector<PublicKey>& keys, const SignatureCheck& check,
                               const ReleaseHistory& history, Manifest& accepted, std::string& error) {
  ParsedManifest parsed;
  if (!parse_manifest(manifest, size, parsed, error)) return ListVerdict::kBadSignature;
  bool signed_by_trusted_key = false;
  for (const PublicKey& key : keys) {
    if (check(key, parsed.signed_part, parsed.signature)) {
      signed_by_trusted_key = true;
      break;
    }
  }
  if (!signed_by_trusted_key) {
    error = "the signature does not verify with any trusted key";
    return ListVerdict::kBadSignature;
  }
  // Checked only once the signature holds: what an unsigned text says is not worth reporting.
  if (parsed.manifest.list.name != list_name) {
    error = "the manifest is for the list \"" + parsed.manifest.list.name + "\", not \"" + list_name + "\"";
    return ListVerdict::kBadSignature;
  }
  if (parsed.manifest.list.sha256 != list_hash) {
    error = "the list's SHA-256 is not the one the manifest gives";
    return ListVerdict::kBadSignature;
  }
  // A signed release older than one accepted before is a replay: it could bring back files
  // whose version texts only look newer.
  if (parsed.manifest.serial < history.highest_serial) {
    error = "release " + std::to_string(parsed.manifest.serial) + " is older than release " +
            std::to_string(history.highest_serial) + ", accepted before";
    return ListVerdict::kOlderRelease;
  }
  if (parsed.manifest.format == 1 && history.administrator) {
    error = "a format-1 manifest has no serial: not installed with administrator rights";
    return ListVerdict::kOlderRelease;
  }
  if (parsed.manifest.expires && history.now >= parsed.manifest.expires_at) {
    error = "the release expired at " + std::to_string(parsed.manifest.expires_at);
    return ListVerdict::kExpired;
  }
  accepted = std::move(parsed.manifest);
  return ListVerdict::kAccepted;
}

const ManifestEntry* signed_archive(const Manifest& manifest, const std::string& name) {
  for (const ManifestEntry& archive : manifest.archives) {
    if (archive.name == name) return &archive;
  }
  return nullptr;
}

}  // namespace tolvex::trust
