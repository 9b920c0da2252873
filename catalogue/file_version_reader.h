#pragma once
// The local version text of a managed file in the working folder, from its version resource (or,
// for the help file, its modification time). A file that is not in the working folder has none,
// whatever a library search would find elsewhere.
#include <cstddef>

namespace tolvex {

// 0 with "%d,%02d,%d,%04d" (or the help file's date form) in `out`; -1 with "-",
// " (not free memory) ", "GetFileVersionInfo error (%d)" or "VerQueryValue error (%d)".
// The text is cut to `size` bytes when it does not fit; callers pass 128.
int read_file_version(const char* name, char* out, std::size_t size);

}  // namespace tolvex
