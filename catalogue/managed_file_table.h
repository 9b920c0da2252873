#pragma once
// The 26 files the updater looks after, their version texts and their update flags, and the list
// view rows that show them. FileEntry is the fixed 34-byte record of a file name and a version
// text, stored back to back.
#include <cstddef>
#include <cstdint>

#include "base/window_surfaces.h"
#include "catalogue/version_text.h"

namespace tolvex {

constexpr std::size_t kNameFieldSize = 13;     // at most 12 characters and a NUL
constexpr std::size_t kVersionFieldSize = 21;  // at most 20 characters and a NUL

struct FileEntry {
  char Name[kNameFieldSize];
  char Version[kVersionFieldSize];
};
static_assert(sizeof(FileEntry) == 34, "FileEntry records are 34 bytes, back to back");

// Stores `text` into the `Version` field, cut to 20 bytes when longer, always NUL-terminated.
void store_version(FileEntry& entry, const char* text);

constexpr int kManagedFileCount = 26;
constexpr int kTableCapacity = 30;

// The managed file names in table order: downloads and installation follow this order.
extern const char* const kManagedFileNames[kManagedFileCount];

struct ManagedFileTable {
  FileEntry FileRows[kTableCapacity] = {};
  std::int32_t UpdateFlags[kTableCapacity] = {};
  std::int32_t RowCount = 0;
  // The whole version text of each row as read, for display: `Version` holds at most 20 bytes,
  // the failure texts and very long version numbers are longer.
  char DisplayVersions[kTableCapacity][kVersionTextSize] = {};
};

// Sets row `row`'s version: the whole text for display, at most 20 bytes in `Version`.
void set_row_version(ManagedFileTable& table, int row, const char* text);

// Copies the 26 names into rows 0-25 and sets RowCount to 26. Versions and flags are untouched.
void load_managed_names(ManagedFileTable& table);

// The display surfaces the catalogue writes: the list view's rows and the status line. The main
// window implements them with its controls; tests record what is written.
class CatalogueView : public StatusSurface {
 public:
  virtual ~CatalogueView() = default;
  // Removes every item of the file list.
  virtual void clear_rows() = 0;
  // Inserts item `index` with the file name in column 0 and the local version in column 1.
  virtual void insert_row(int index, const char* name, const char* version) = 0;
  // Sets column 2 (latest version) of item `index`.
  virtual void set_latest_version(int index, const char* version) = 0;
};

// Reads one file's version text by bare name: 0 with a version, -1 with "-" or a failure text.
using VersionReader = int (*)(const char* name, char* out, std::size_t size);

// Loads the 26 names, reads every row's version with `reader` and inserts the rows into the view
// (name in column 0, version in column 1). Column 2 and the update flags are left alone.
void fill_file_table(ManagedFileTable& table, CatalogueView& view, VersionReader reader);

// Clears the view, reads every row's version with `reader` (but row `kept_row`, whose version
// is already set) and inserts the rows again. The update flags are left alone.
void show_file_rows(ManagedFileTable& table, CatalogueView& view, VersionReader reader, int kept_row = -1);

}  // namespace tolvex
