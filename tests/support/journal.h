#pragma once
// One ordered record of what several test doubles were asked, so that a test can check the
// order of calls across them. A double given no journal records only on its own.
#include <string>
#include <vector>

namespace tolvex::testing {

using Journal = std::vector<std::string>;

inline void note(Journal* journal, const std::string& entry) {
  if (journal != nullptr) journal->push_back(entry);
}

}  // namespace tolvex::testing
