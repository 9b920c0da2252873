#pragma once
// The 26 files the updater looks after, their version texts and their update flags.
#include <cstddef>
#include <cstdint>

#include "catalogue/file_entry.h"
#include "catalogue/version_text.h"

namespace tolvex {

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

}  // namespace tolvex
