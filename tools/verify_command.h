#pragma once
// verify: check a published folder against the rules the updater applies to the update list
// and the archives, reporting every problem.
#include <ostream>
#include <string>

#include "tools/progress.h"
#include "tools/report.h"

namespace tolvex::publish {

struct VerifyOptions {
  std::string output_folder;
  std::string list_name = "update.txt";
};

// Returns 0 when nothing is wrong (warnings allowed), 1 when any problem was reported.
int run_verify(const VerifyOptions& options, Report& report, Progress& progress, std::ostream& out);

}  // namespace tolvex::publish
