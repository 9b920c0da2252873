#pragma once
// The few file-system operations the publisher needs, on narrow byte-string paths (code page 932
// on Windows, as the platform's ...A functions take them; bytes as given on other systems).
// Paths are joined with '/', which Windows accepts too, so no path is ever scanned for '\\'
// (a trail byte of a double-byte character can be 0x5C).
#include <cstdint>
#include <string>
#include <vector>

namespace tolvex::publish {

// `folder` + "/" + `name` (no separator added when `folder` already ends in '/').
std::string join_path(const std::string& folder, const std::string& name);

bool is_directory(const std::string& path);
bool file_exists(const std::string& path);

// The names of the regular files in `folder` (no "." or "..", no subfolders), sorted bytewise.
bool list_files(const std::string& folder, std::vector<std::string>& names);

// Reads a whole file of at most `max_size` bytes. On failure `error` says why.
bool read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                     std::uint64_t max_size = 1ull << 30);
// Writes `bytes` into a new or truncated file; false when it could not be written completely.
bool write_whole_file(const std::string& path, const std::vector<std::uint8_t>& bytes);
// Writes `bytes` into a file that must not exist yet; with `owner_only` the file is readable and
// writable by its owner alone (for a private key). A partly written file is removed again.
bool create_new_file(const std::string& path, const std::vector<std::uint8_t>& bytes, bool owner_only);

// Seconds since 1970 UTC of the last modification.
bool modification_time(const std::string& path, std::int64_t& seconds);

// Creates one folder (its parent must exist). True when it was created.
bool make_directory(const std::string& path);
bool remove_directory(const std::string& path);
bool remove_file(const std::string& path);
// Renames `from` to `to`, replacing `to` when it exists.
bool replace_file(const std::string& from, const std::string& to);

// The reason of the last failed operation (errno or the platform's error), for messages.
std::string last_system_error();

}  // namespace tolvex::publish
