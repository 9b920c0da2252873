#pragma once
// File-name wildcards as the archive command takes them: '*' any run of characters, '?' one
// character (a double-byte character counts as one), letters compared without case.
// "*.*" and "*" match every name, also names without a dot.
#include <string>
#include <vector>

namespace tolvex::unlha32 {

bool wildcard_matches(const std::string& pattern, const std::string& name);

// True when `patterns` is empty or any of them matches.
bool any_wildcard_matches(const std::vector<std::string>& patterns, const std::string& name);

}  // namespace tolvex::unlha32
