#include "catalogue/managed_file_table.h"

#include "text/cp932.h"

namespace tolvex {

const char* const kManagedFileNames[kManagedFileCount] = {
    "plo.exe",     "rasto.exe", "mepli.exe",    "gaft.exe",     "orbe.exe",     "tolvex.exe",   "vemoda.dll",
    "vemoca.dll",  "nuri.dll",  "sef.dll",      "palgon.dll",   "qe_lorma.dll", "qe_pinta.dll", "hobrave.dll",
    "dulam.dll",   "wirto.dll", "zevo.dll",     "orbi.dll",     "fule.dll",     "carnesa.dll",  "bimoral.dll",
    "temasid.dll", "yosk.dll",  "hexaloun.dll", "hexalou2.dll", "rova.chm",
};

void store_version(FileEntry& entry, const char* text) { copy_cp932_text(entry.Version, sizeof entry.Version, text); }

void set_row_version(ManagedFileTable& table, int row, const char* text) {
  if (row < 0 || row >= kTableCapacity) return;
  copy_cp932_text(table.DisplayVersions[row], sizeof table.DisplayVersions[row], text);
  store_version(table.FileRows[row], text);
}

void load_managed_names(ManagedFileTable& table) {
  for (int i = 0; i < kManagedFileCount; ++i) {
    copy_cp932_text(table.FileRows[i].Name, sizeof table.FileRows[i].Name, kManagedFileNames[i]);
  }
  table.RowCount = kManagedFileCount;
}

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
