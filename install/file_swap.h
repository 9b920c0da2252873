#pragma once
// The file operations of an installation, with the semantics it relies on: a rename never
// replaces an existing file, removals that fail are not reported.

namespace tolvex {

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
// exists). Asked right after the failure: it reads the platform's last error.
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

}  // namespace tolvex
