#pragma once
// diff: what the updater would offer an installed suite from a published folder. The local
// version texts are read from the installed files the way the updater reads them ("-" for a
// missing file or one without version information), then the updater's own comparison flags
// the files. Where byte-string order and numeric order disagree (10,00,... sorts below 9,00,...)
// a warning says so.
#include <ostream>
#include <string>

#include "tools/file_version_text.h"
#include "tools/report.h"

namespace tolvex::publish {

struct DiffOptions {
  std::string install_folder;
  std::string output_folder;
  std::string list_name = "update.txt";
  TimeZoneSetting zone;  // the user's zone, for the installed help file's date form
};

// Prints one line per listed file the updater compares; returns 0, or 1 when the list cannot be
// read. Byte-order surprises are warnings and do not change the exit code.
int run_diff(const DiffOptions& options, Report& report, std::ostream& out);

}  // namespace tolvex::publish
