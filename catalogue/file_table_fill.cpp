#include "catalogue/file_table_fill.h"

namespace tolvex {

void fill_file_table(ManagedFileTable& table, CatalogueView& view, VersionReader reader) {
  load_managed_names(table);
  show_file_rows(table, view, reader);
}

void show_file_rows(ManagedFileTable& table, CatalogueView& view, VersionReader reader, int kept_row) {
  view.clear_rows();
  for (int i = 0; i < table.RowCount; ++i) {
    if (i != kept_row) {
      char text[kVersionTextSize] = {};
      reader(table.FileRows[i].Name, text, sizeof text);
      set_row_version(table, i, text);
    }
    view.insert_row(i, table.FileRows[i].Name, table.DisplayVersions[i]);
  }
}

}  // namespace tolvex
