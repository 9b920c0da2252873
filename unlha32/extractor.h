#pragma once
// Carries out an archive command: every member whose bare name matches goes into the output
// folder under that name. Each is written to a temporary file beside it and moved into place
// only after its size and CRC have been checked, so a damaged member never appears under its
// name (an existing file of that name stays as it was). A member without a CRC, or one whose
// declared size would not leave a margin of free space on the disk, is refused before a byte is
// written.
#include <string>

#include "unlha32/command_line.h"

namespace tolvex::unlha32 {

struct ExtractionOutcome {
  int code = 0;  // a ResultCode
  int extracted = 0;
  int failed = 0;
  std::string report;  // one line per problem and a summary line, CRLF-separated
};

ExtractionOutcome run_extraction(const ArchiveCommand& command);

}  // namespace tolvex::unlha32
