#pragma once
// Running the independent LHA programs from Debian next to our codec: lhasa (a decoder) and
// jlha-utils (an archiver). Tests skip when a tool is not installed.
#include <filesystem>
#include <map>
#include <string>

#include "archive_bytes.h"

namespace tolvex::lha::testing {

// True when `program` is an executable on PATH (or an absolute path).
bool have_program(const std::string& program);
// Runs a shell command with output discarded; the exit status.
int run_quietly(const std::string& command);
std::string quoted(const std::filesystem::path& path);

// Every regular file under `folder`, keyed by its lower-case file name.
std::map<std::string, Bytes> regular_files_by_lower_name(const std::filesystem::path& folder);
std::string lower(std::string text);

Bytes read_bytes(const std::filesystem::path& path);
void write_bytes(const std::filesystem::path& path, const Bytes& bytes);

}  // namespace tolvex::lha::testing
