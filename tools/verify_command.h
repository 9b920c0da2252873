#pragma once
// verify: check a published folder against the rules the updater applies to the update list
// and the archives, reporting every problem.
#include <ostream>
#include <string>

#include "tools/report.h"

namespace tolvex::publish {

struct VerifyOptions {
  std::string output_folder;
  std::string list_name = "update.txt";
  std::string public_key_file;  // when set, the signed manifest is required and its signature checked
};

// Returns 0 when nothing is wrong (warnings allowed), 1 when any problem was reported. A manifest
// "<list name>.sig" beside the list is checked when there is one: its form, that it has not
// expired, the SHA-256 of the list and the size and SHA-256 of every archive, that it names
// every archive the list needs, and with a public key its signature; the summary line names its
// serial and expiry. Every file is read as a regular file under its own name (never through a
// link, never a FIFO), one at a time.
int run_verify(const VerifyOptions& options, Report& report, Progress& progress, std::ostream& out);

}  // namespace tolvex::publish
