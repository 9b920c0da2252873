#pragma once
// Filling and refreshing the managed file table and its list view rows.
#include <cstddef>

#include "catalogue/catalogue_view.h"
#include "catalogue/managed_file_table.h"

namespace tolvex {

// Reads one file's version text by bare name: 0 with a version, -1 with "-" or a failure text.
using VersionReader = int (*)(const char* name, char* out, std::size_t size);

// Loads the 26 names, reads every row's version with `reader` and inserts the rows into the view
// (name in column 0, version in column 1). Column 2 and the update flags are left alone.
void fill_file_table(ManagedFileTable& table, CatalogueView& view, VersionReader reader);

// Clears the view, reads every row's version with `reader` (but row `kept_row`, whose version
// is already set) and inserts the rows again. The update flags are left alone.
void show_file_rows(ManagedFileTable& table, CatalogueView& view, VersionReader reader, int kept_row = -1);

}  // namespace tolvex
