#pragma once
// Signs test releases with the fixed test keys of the fixtures ("current", "second",
// "retired"), over the platform's CNG, the way tolvex-publish signs real ones.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tolvex::testing {

struct SignedFile {
  std::string name;
  std::string bytes;
};

// Which release a manifest speaks for.
struct ReleaseStamp {
  std::uint64_t serial = 1;      // 0: a format-1 manifest (no serial, no sizes)
  std::int64_t expires_at = -1;  // seconds since 1970 UTC; -1: no expiry
};

// The manifest text for list `list` and `archives`, signed by test key `key`.
std::string signed_manifest(const std::string& key, const SignedFile& list, const std::vector<SignedFile>& archives,
                            const ReleaseStamp& stamp = {});

}  // namespace tolvex::testing
