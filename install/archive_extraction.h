#pragma once
// Extraction of one downloaded archive with the archive library UNLHA32.dll.
#include "base/window_surfaces.h"

namespace tolvex {

// The command text sent to the library for `archive_name`: "e -mc -n1 -jse2 <name> *.*".
extern const char kExtractCommandFormat[];

// Extracts every member of `archive_name` into the current directory by calling the library's
// command entry (export ordinal 1). Returns the library's result; -1 when the library or its
// entry cannot be loaded.
[[nodiscard]] int extract_archive(NativeWindow owner, const char* archive_name);

}  // namespace tolvex
