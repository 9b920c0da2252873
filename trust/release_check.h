#pragma once
// The updater's side of a signed release: which embedded keys it trusts, whether a fetched
// manifest is signed by one of them and vouches for the fetched list, and the hash an archive
// must have. The signature check itself is the caller's (the platform's cryptography), handed
// in as a function so that this part stays portable.
#include <functional>
#include <string>
#include <vector>

#include "trust/manifest.h"
#include "trust/public_key_text.h"

namespace tolvex::trust {

// True when `signature` over `message` verifies with `key`.
using SignatureCheck =
    std::function<bool(const PublicKey& key, const std::string& message, const Signature& signature)>;

// Reads the embedded key text: one public key per line (the public key text form), blank lines
// ignored. False with `error` when any line is not a key; `keys` then holds none.
bool parse_public_key_list(const char* data, std::size_t size, std::vector<PublicKey>& keys, std::string& error);

// Accepts the manifest text `manifest` for a list fetched under `list_name` (a bare file name)
// whose bytes hash to `list_hash`: the text must parse, its signature must verify with any one
// of `keys`, and its list line must name `list_name` with `list_hash`. On success `accepted`
// holds the manifest; on failure it is untouched and `error` says why.
bool accept_signed_list(const char* manifest, std::size_t size, const std::string& list_name, const Sha256& list_hash,
                        const std::vector<PublicKey>& keys, const SignatureCheck& check, Manifest& accepted,
                        std::string& error);

// The SHA-256 the manifest gives for archive `name`; null when it does not name it.
const Sha256* signed_archive_hash(const Manifest& manifest, const std::string& name);

}  // namespace tolvex::trust
