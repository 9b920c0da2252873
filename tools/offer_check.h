#pragma once
// Before a release replaces the one already in the output folder: every file whose bytes
// changed must carry a version text the updater takes as newer than the one the published list
// gives it, or updaters that installed the published release would never be offered it. The
// updater compares version texts as byte strings (so 1,02,10,0000 is older than 1,02,9,0000).
#include <cstdint>
#include <string>
#include <vector>

#include "tools/published_release.h"
#include "tools/report.h"

namespace tolvex::publish {

class OfferCheck {
 public:
  // With `allow` (--allow-not-offered) the problems are warnings and publishing goes on.
  OfferCheck(Report& report, bool allow) : report_(report), allow_(allow) {}

  // Reads the release published in `folder` under `list_name`. A list that is there but cannot
  // be read is a problem of its own; the files are then not checked.
  void read_published(const std::string& folder, const std::string& list_name);

  // Checks the new release file `name` (read from `path`) with version text `version` and
  // content `bytes`.
  void check(const std::string& path, const std::string& name, const std::string& version,
             const std::vector<std::uint8_t>& bytes);

  // The problems reported as errors (none with `allow`).
  int errors() const { return errors_; }

 private:
  void problem(const std::string& text);

  Report& report_;
  bool allow_;
  bool known_ = false;  // the published release was read
  PublishedRelease published_;
  int errors_ = 0;
};

}  // namespace tolvex::publish
