#pragma once
// What this process may do in a folder and to a file, tried rather than read from security
// descriptors: the answer includes every rule that applies (rights, read-only media, policy).
#include <string>

namespace tolvex {

// True when a new file can be created in `folder` (empty: the current folder) now: a hidden
// temporary file of its own name is created there and deleted when closed.
bool can_create_files_in(const std::string& folder);

// False when `name` exists and this process is denied the right to move or delete it (what a
// swap does to it); true when it may, when it does not exist, or when another program holds it
// for the moment (which is waited out, not a lack of rights).
bool may_replace_file(const char* name);

}  // namespace tolvex
