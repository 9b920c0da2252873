#pragma once
// Member names as archives store them are untrusted code page 932 byte strings that may carry
// directories, "..", drive letters, absolute paths or device names. These helpers reduce one to
// a bare file name that is safe to create in the current folder, or to nothing.
#include <string>

namespace tolvex::lha {

// The last component of `stored_path`, split at '\\' (when it is not a trail byte), '/' and
// 0xFF (the separator LHA uses in directory fields).
std::string last_path_component(const std::string& stored_path);

// True when `name` can be created as a file in the current folder on Windows without leaving
// it or naming something else: not empty, not "." or "..", no drive colon, no wildcard or
// control characters, no trailing dot or space, no device name (CON, NUL, COM1, ...), no cut
// double-byte character, at most 255 bytes.
bool is_safe_file_name(const std::string& name);

// last_path_component() when it is safe, otherwise an empty string.
std::string sanitised_file_name(const std::string& stored_path);

}  // namespace tolvex::lha
