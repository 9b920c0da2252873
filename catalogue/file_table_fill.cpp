#include "catalogue/file_table_fill.h"

namespace tolvex {

void fill_file_table(ManagedFileTable& table, CatalogueView& view, VersionReader reader) {
  load_managed_names(table);
  for (int i = 0; i < table.RowCount; ++i) {
    char text[kVersionTextSize] = {};
    reader(table.FileRows[i].Name, text, sizeof text);
    set_row_version(table, i, text);
    view.insert_row(i, table.FileRows[i].Name, table.DisplayVersions[i]);
  }
}

}  // namespace tolvex
