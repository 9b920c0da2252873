#pragma once
// The names formed for one managed file: its archive, the staged new file, its backup.
#include <cstddef>

namespace tolvex {

constexpr std::size_t kFileNameBufferSize = 128;

struct ArchiveNames {
  char target[kFileNameBufferSize];   // the managed file's own name, e.g. vemoda.dll
  char base[kFileNameBufferSize];     // up to its last '.', e.g. vemoda (the whole name without '.')
  char archive[kFileNameBufferSize];  // base + ".lzh"
  char staged[kFileNameBufferSize];   // base + ".___", the member the archive carries
  char backup[kFileNameBufferSize];   // base + ".bak", alive only during the swap
};

ArchiveNames form_archive_names(const char* file_name);

// The updater's own row is recognised by its base name, exactly "tolvex".
bool is_updater_row(const ArchiveNames& names);

}  // namespace tolvex
