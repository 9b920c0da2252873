#pragma once
// The update list: lines of name, "&", version, parsed into FileEntry rows and compared with the
// managed file table; and the process-wide text of the last list fetched completely.
#include <cstdint>
#include <memory>

#include "catalogue/managed_file_table.h"

namespace tolvex {

// The parsed entries of one update list (`ListRows`), cleared before every parse.
struct UpdateListRows {
  FileEntry ListRows[kTableCapacity] = {};
  // True for an entry whose name (over 12 bytes) or version (over 20 bytes) did not fit its
  // field. Its row holds nothing of it; it keeps its place in the sequence but matches no file.
  bool Oversized[kTableCapacity] = {};
};

// Parses `text` (NUL-terminated) into at most `limit` rows. Returns the number of lines read as
// entries, 0 when the text holds no line feed, and -1 with LastError kErrorBadArgument when `limit` is not
// positive. A limit above the rows' room is cut to that room.
std::int32_t parse_update_list(const char* text, UpdateListRows& rows, std::int32_t limit);

// Byte-string order of version texts: unsigned bytes, the first difference decides, a proper
// beginning is the smaller. Returns <0, 0 or >0.
int compare_version_texts(const char* a, const char* b);

// Clears the flags, parses `text`, flags every managed file whose listed version is greater
// (first matching row only), shows the listed versions in column 2 and a status text, and
// returns how many newer versions were found.
std::int32_t compare_step(ManagedFileTable& table, UpdateListRows& rows, const char* text, CatalogueView& view);

// The status texts of compare_step: while comparing, then with or without newer files.
extern const char kStatusCheckingUpdates[];
extern const char kStatusUpdatesFound[];
extern const char kStatusNoUpdates[];

// The current list text, NUL-terminated (never null); empty until a list is fetched completely.
const char* update_list_text();

// Replaces the text with a newly fetched one; the old one is released.
void replace_update_list_text(std::unique_ptr<char[]> text);

}  // namespace tolvex
