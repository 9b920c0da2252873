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

}  // namespace tolvex
