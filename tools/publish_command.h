#pragma once
// publish: from a folder of release files, write the update list and one archive per file into
// the output folder, in exactly the form the updater reads.
#include <cstdint>
#include <ostream>
#include <string>

#include "tools/progress.h"
#include "tools/report.h"
#include "tools/time_zone.h"

namespace tolvex::publish {

struct PublishOptions {
  std::string release_folder;
  std::string output_folder;
  std::string list_name = "update.txt";
  bool skip_unusable = false;      // leave out unusable files (with a warning) instead of stopping
  TimeZoneSetting zone;            // for the help file's date form
  std::string signing_key;         // a private key file: also write the signed manifest; empty: none
  std::uint64_t serial = 0;        // the signed release's serial; 0: one more than the published one's
  int expires_in_days = 0;         // the signed release expires this many days from now; 0: never
  bool allow_not_offered = false;  // publish changed files whose version is not newer (with a warning)
};

// Returns the exit code: 0 published, 1 nothing written (problems on `report`). A summary of
// what was published goes to `out`. With a signing key the manifest "<list name>.sig" is written
// with the list and the archives, all or nothing. Only regular files are read from the release
// folder, one at a time, so memory grows with the largest file, not with the release. A file
// whose bytes changed since the release already in the output folder must have a version text
// the updater takes as newer (see OfferCheck).
int run_publish(const PublishOptions& options, Report& report, Progress& progress, std::ostream& out);

}  // namespace tolvex::publish
