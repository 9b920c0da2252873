#pragma once
// The update list's checks: its file name, the names of its entries against the updater's table
// of 26 managed files, and its text line by line against the way the updater reads it (entries
// of name "&" version ended by CR LF; an empty line or the end ends the list; at most 26
// entries; names of at most 12 bytes matched byte for byte with the managed names; versions of
// at most 20 bytes in the updater's text forms), then parsed with the updater's own parser to
// check that it reads the same entries.
#include <string>
#include <vector>

#include "tools/report.h"

namespace tolvex::publish {

// The update list's file name: the updater fetches the URL setting followed by this name, and
// the archives lie beside it, so it must be a bare name that no archive uses. False with `error`
// for an empty name, one with a folder part, or an archive's name (".lzh").
bool check_list_name(const std::string& name, std::string& error);

// The row (0-25) of a managed file spelled exactly `name` (the updater matches names byte for
// byte), or -1.
int managed_row(const std::string& name);

// The managed name that equals `name` without regard to letter case, or nullptr.
const char* managed_name_in_other_case(const std::string& name);

// Why `name` cannot be published under that name, or "" when it is a managed name.
std::string unmanaged_name_reason(const std::string& name);

// One entry of the list as the checks read it.
struct ListedEntry {
  int line = 0;  // 1-based
  std::string name;
  std::string version;
  bool has_ampersand = false;
};

// Reads the list `list_name` of a published `folder` (at most 1 MiB) into `text`; false, with
// the problem reported, when it cannot be read.
bool read_published_list(const std::string& folder, const std::string& list_name, std::string& text, Report& report);

// Reports every problem of `text`; returns the entries the updater reads, in order.
std::vector<ListedEntry> check_update_list_text(const std::string& text, Report& report);

}  // namespace tolvex::publish
