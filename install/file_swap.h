#pragma once
// One managed file's swap: the names formed around it (its archive, the staged new file, its
// backup), the extraction of its archive by the archive library UNLHA32.dll, and the file
// operations of the swap with the semantics it relies on (a rename never replaces an existing
// file, removals that fail are not reported), each of which may wait out a short hold of its
// file by another program.
#include <cstddef>
#include <functional>

#include "base/waiter.h"
#include "base/window_surfaces.h"

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

// The command text sent to the library for `archive_name`: "e -mc -n1 -jse2 <name> *.*".
extern const char kExtractCommandFormat[];

// Extracts every member of `archive_name` into the current directory by calling the library's
// command entry (export ordinal 1). The library is UNLHA32.dll beside the program, else the one
// in the system's folder, never one of the current folder. Returns the library's result; -1 when
// the library or its entry cannot be loaded (Windows).
[[nodiscard]] int extract_archive(NativeWindow owner, const char* archive_name);

// Deletes `name`; a failure is ignored.
void remove_file(const char* name);
// Deletes the backup `name`, read-only or not: a backup is the user's old file renamed and keeps
// its read-only mark, which would otherwise leave it in the way of every later update of the row.
// True when no file is left under `name`.
bool remove_backup(const char* name);
// Renames `source` to `destination`; fails, changing nothing, when `destination` exists or
// `source` does not.
[[nodiscard]] bool rename_file(const char* source, const char* destination);
// True when `name` can be opened for reading.
[[nodiscard]] bool is_readable(const char* name);
// True when the file operation on `name` that has just failed failed only because another
// program holds the file for now (a sharing or lock violation, or access denied to a file that
// exists in a folder this process can write). Asked right after the failure: it reads the
// platform's last error, and leaves it as it was.
[[nodiscard]] bool failed_because_held(const char* name);
// True when anything exists under `name`.
[[nodiscard]] bool exists(const char* name);
// Writes `name`'s data through to the disk, so that a crash after a rename cannot leave a file
// shorter than it was. False when the file cannot be opened or flushed.
[[nodiscard]] bool flush_to_disk(const char* name);

// Deletes, in the current folder, the temporary files the archive library leaves when an
// extraction is cut short by a crash or a power loss (names of exactly its form, see
// unlha32/temporary_name.h). Directories and files that only match through their short 8.3
// name are left alone; a file that cannot be deleted is skipped.
void remove_stale_archive_temporaries();

// Puts a backup left by an interrupted swap back under the file's name when the file itself is
// missing; the backup of a present file is left for the next swap to remove.
void restore_orphaned_backup(const char* target, const char* backup);

// Another program (typically a virus scanner) may open a file that was just written or renamed
// for a moment, so that renaming, removing or opening it fails with a sharing or lock
// violation. The installation then tries the step again after a pause that grows each time (50
// ms, doubling up to 2 s), for about ten seconds of pauses in all, saying in the status line
// which file it waits for; past that the step fails as it would have at once.
class HeldFileRetry {
 public:
  static constexpr unsigned kFirstPauseMs = 50;
  static constexpr unsigned kLongestPauseMs = 2000;
  static constexpr unsigned kTotalPauseMs = 10000;

  HeldFileRetry(Waiter& waiter, StatusSurface& status) : waiter_(waiter), status_(status) {}

  // Runs `attempt` until it succeeds. After a failure, `held` (asked at once, so it can read the
  // platform's last error) says whether the file was only held by someone else: then the step
  // is tried again after the next pause, unless the pauses have reached the bound. `name` is
  // the file shown as waited for. True when an attempt succeeded.
  bool run(const char* name, const std::function<bool()>& attempt, const std::function<bool()>& held);

 private:
  Waiter& waiter_;
  StatusSurface& status_;
};

}  // namespace tolvex
