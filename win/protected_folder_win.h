#pragma once
// A folder that only administrators (and the system) may change, for what a copy with
// administrator rights writes: no process with fewer rights can put a file, a link or a mount
// point in it, or turn it into one.
#include <string>

namespace tolvex {

// Makes `path` such a folder when it is missing: owned by the Administrators group, which with
// the system has full control; users may read it. An existing folder is taken only when it is a
// plain folder (no reparse point) owned by the Administrators group, the system, or the owner of
// the system folder `root` it lies in (the machine's program data folder, which the system
// owns). False, having changed nothing, otherwise. The folder above must be such a folder too,
// or `root`.
bool prepare_administrators_folder(const std::string& path, const std::string& root);

}  // namespace tolvex
