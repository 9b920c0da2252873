#pragma once
// The updater's side of a signed release: which embedded keys it trusts, whether a fetched
// manifest is signed by one of them and vouches for the fetched list, and the hash an archive
// must have. The signature check itself is the caller's (the platform's cryptography), handed
// in as a function so that this part stays portable.
#include <functional>
#include <string>
#include <vector>

#include "trust/manifest.h"
#include "trust/text_forms.h"

namespace tolvex::trust {

// True when `signature` over `message` verifies with `key`.
using SignatureCheck =
    std::function<bool(const PublicKey& key, const std::string& message, const Signature& signature)>;

// Reads the embedded key text: one public key per line (the public key text form), blank lines
// ignored. False with `error` when any line is not a key; `keys` then holds none.
bool parse_public_key_list(const char* data, std::size_t size, std::vector<PublicKey>& keys, std::string& error);

// What the updater knows when it judges a manifest: the highest serial it accepted before (0:
// none, or only format-1 manifests), the machine's clock (seconds since 1970 UTC), and whether
// this copy runs with administrator rights (it then installs from no format-1 manifest, which
// carries no serial to tell an old release from a new one).
struct ReleaseHistory {
  std::uint64_t highest_serial = 0;
  std::int64_t now = 0;
  bool administrator = false;
};

enum class ListVerdict {
  kAccepted,
  kBadSignature,  // not a manifest, no trusted key's signature, or not for this list
  kOlderRelease,  // a lower serial than one accepted before (a format-1 manifest counts as 0,
                  // and is refused outright with administrator rights)
  kExpired,       // its expiry time has come
};

// Judges the manifest text `manifest` for a list fetched under `list_name` (a bare file name)
// whose bytes hash to `list_hash`: the text must parse, its signature must verify with any one
// of `keys`, its list line must name `list_name` with `list_hash`, its serial must be at least
// the highest accepted before (the same release fetched again is fine) and it must not have
// expired. On kAccepted `accepted` holds the manifest; otherwise it is untouched and `error`
// says why.
ListVerdict accept_signed_list(const char* manifest, std::size_t size, const std::string& list_name,
                               const Sha256& list_hash, const std::vector<PublicKey>& keys, const SignatureCheck& check,
                               const ReleaseHistory& history, Manifest& accepted, std::string& error);

// The manifest's entry for archive `name` (its size and SHA-256); null when it does not name it.
const ManifestEntry* signed_archive(const Manifest& manifest, const std::string& name);

}  // namespace tolvex::trust
