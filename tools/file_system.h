#pragma once
// The few file-system operations the publisher needs, on narrow byte-string paths (code page 932
// on Windows, as the platform's ...A functions take them; bytes as given on other systems).
// Paths are joined with '/', which Windows accepts too, so no path is ever scanned for '\\'
// (a trail byte of a double-byte character can be 0x5C).
#include <cstdint>
#include <string>
#include <vector>

#include "tools/no_follow_file.h"

namespace tolvex::publish {

// `folder` + "/" + `name` (no separator added when `folder` already ends in '/').
std::string join_path(const std::string& folder, const std::string& name);

bool is_directory(const std::string& path);
bool file_exists(const std::string& path);

// The names of every entry in `folder` but "." and "..", whatever each is (subfolders, links and
// the like included, for the caller to judge), sorted bytewise.
bool list_files(const std::string& folder, std::vector<std::string>& names);

// The most the publisher reads of one release file, and so the largest member it writes.
constexpr std::uint64_t kMaxReleaseFileBytes = 1ull << 30;

// Reads the whole of an opened file, of at most `max_size` bytes. On failure `error` says why
// (a file whose size changes while it is read fails too).
bool read_opened_file(RegularFile& file, std::vector<std::uint8_t>& bytes, std::string& error,
                      std::uint64_t max_size = kMaxReleaseFileBytes);
// Opens the regular file `path` (see RegularFile) and reads the whole of it.
bool read_whole_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                     std::uint64_t max_size = kMaxReleaseFileBytes, Links links = Links::refuse);

// Creates one folder (its parent must exist). True when it was created.
bool make_directory(const std::string& path);
bool remove_directory(const std::string& path);
bool remove_file(const std::string& path);
// Renames `from` to `to`, replacing `to` when it exists.
bool replace_file(const std::string& from, const std::string& to);

// The reason of the last failed operation (errno or the platform's error), for messages.
std::string last_system_error();

}  // namespace tolvex::publish
