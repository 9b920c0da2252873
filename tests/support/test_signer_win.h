#pragma once
// Signs test releases with the fixed test keys of the fixtures ("current", "second",
// "retired"), over the platform's CNG, the way tolvex-publish signs real ones.
#include <string>
#include <utility>
#include <vector>

namespace tolvex::testing {

struct SignedFile {
  std::string name;
  std::string bytes;
};

// The manifest text for list `list` and `archives`, signed by test key `key`.
std::string signed_manifest(const std::string& key, const SignedFile& list, const std::vector<SignedFile>& archives);

}  // namespace tolvex::testing
