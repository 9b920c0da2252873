#pragma once
// publish: from a folder of release files, write the update list and one archive per file into
// the output folder, in exactly the form the updater reads.
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
  bool skip_unusable = false;  // leave out unusable files (with a warning) instead of stopping
  TimeZoneSetting zone;        // for the help file's date form
  std::string signing_key;     // a private key file: also write the signed manifest; empty: none
};

// Returns the exit code: 0 published, 1 nothing written (problems on `report`). A summary of
// what was published goes to `out`. With a signing key the manifest "<list name>.sig" is written
// with the list and the archives, all or nothing.
int run_publish(const PublishOptions& options, Report& report, Progress& progress, std::ostream& out);

}  // namespace tolvex::publish
