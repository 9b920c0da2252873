#pragma once
// Checks an update list text line by line against the way the updater reads it (entries of
// name "&" version ended by CR LF; an empty line or the end ends the list; at most 26 entries;
// names of at most 12 bytes matched byte for byte with the managed names; versions of at most
// 20 bytes in the updater's text forms), then parses it with the updater's own parser and checks
// that it reads the same entries.
#include <string>
#include <vector>

#include "tools/report.h"

namespace tolvex::publish {

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
