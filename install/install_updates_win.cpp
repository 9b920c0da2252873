#include "install/install_updates.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "catalogue/managed_file_table.h"
#include "catalogue/version_text.h"
#include "install/file_swap.h"
#include "install/sibling_programs_win.h"
#include "text/cp932.h"

namespace tolvex {
namespace {

// A row whose swap failed: its archive and staged file go, the old file stays (or comes back).
void report_failed_row(const ArchiveNames& names, StatusSurface& status, int& result) {
  char text[1024] = {};
  std::snprintf(text, sizeof text, "%s:update faild.", names.target);
  status.show_status(text);
  result = 0;
  remove_file(names.archive);
  remove_file(names.staged);
}

// A rename that waits out a short hold of its file by another program (a destination that
// exists fails it at once: a rename never replaces a file).
bool rename_waiting(HeldFileRetry& retry, const char* source, const char* destination) {
  return retry.run(
      source, [&] { return rename_file(source, destination); }, [&] { return failed_because_held(source); });
}

// Tells `observer`, when there is one, how the row of `name` ended.
void report(InstallObserver* observer, const char* name, InstallOutcome outcome, DWORD system_error = 0,
            bool backup_restored = false) {
  if (observer != nullptr) observer->file_installed(name, outcome, system_error, backup_restored);
}

// Swaps the staged file in under the target's name, keeping the old file as the backup until
// the new one stands under the name. Each step waits out a short hold of its file.
void swap_in(const ArchiveNames& names, StatusSurface& status, HeldFileRetry& retry, int& result,
             InstallObserver* observer) {
  (void)flush_to_disk(names.staged);  // best effort; a missing staged file fails the rename below
  auto remove_backup_waiting = [&] {
    (void)retry.run(
        names.backup, [&] { return remove_backup(names.backup); }, [&] { return failed_because_held(names.backup); });
  };
  remove_backup_waiting();
  const bool target_readable = retry.run(
      names.target, [&] { return is_readable(names.target); }, [&] { return failed_because_held(names.target); });
  if (target_readable && !rename_waiting(retry, names.target, names.backup)) {
    const DWORD error = GetLastError();
    report_failed_row(names, status, result);
    report(observer, names.target, InstallOutcome::kOldFileKept, error);
    return;
  }
  if (!rename_waiting(retry, names.staged, names.target)) {
    const DWORD error = GetLastError();
    report_failed_row(names, status, result);
    const bool restored = rename_waiting(retry, names.backup, names.target);  // fails at once when no backup was made
    report(observer, names.target, InstallOutcome::kNewFileMissing, error, restored);
    return;
  }
  remove_backup_waiting();
  remove_file(names.archive);
  report(observer, names.target, InstallOutcome::kReplaced);
}

// The row of the updater's own file, or -1.
int updater_row(const ManagedFileTable& table) {
  for (int i = 0; i < table.RowCount; ++i) {
    if (std::strcmp(table.FileRows[i].Name, "tolvex.exe") == 0) return i;
  }
  return -1;
}

}  // namespace

int install_updates(ManagedFileTable& table, std::int32_t (&was_running)[kSiblingCount], CatalogueView& view,
                    NativeWindow owner, Waiter& waiter, ArchiveGuard* guard, InstallObserver* observer) {
  // Keeps the rights each closed program ran with, for its restart.
  SiblingProcessLauncher launcher;
  close_sibling_programs(was_running, launcher, view, waiter);
  HeldFileRetry retry(waiter, view);
  int result = 1;
  char staged_updater_version[1024] = {};
  for (int i = 0; i < table.RowCount; ++i) {
    if (table.UpdateFlags[i] == 0) continue;
    const ArchiveNames names = form_archive_names(table.FileRows[i].Name);
    const bool updater = is_updater_row(names);
    // A staged file left by an earlier, interrupted run must never be installed as this one.
    remove_file(names.staged);
    if (!updater) restore_orphaned_backup(names.target, names.backup);
    // The archive library opens the archive by name: wait out a short hold of it first.
    (void)retry.run(
        names.archive, [&] { return is_readable(names.archive); }, [&] { return failed_because_held(names.archive); });
    // The library's result is not read: a failed extraction, or an archive the guard refuses,
    // leaves no staged file, which the swap then reports for this row.
    const bool held = guard == nullptr || guard->hold(names.archive);
    if (held) {
      (void)extract_archive(owner, names.archive);
      if (guard != nullptr) guard->release();
    }
    // A refused archive is reported as such, not as the failed swap it leads to.
    InstallObserver* const row_observer = held ? observer : nullptr;
    if (!held) report(observer, names.target, InstallOutcome::kArchiveChanged);
    if (updater) {
      char text[kVersionTextSize] = {};
      read_file_version(names.staged, text, sizeof text);
      copy_cp932_text(staged_updater_version, sizeof staged_updater_version, text);
      remove_file(names.archive);
      report(row_observer, names.target, text[0] != '\0' ? InstallOutcome::kStaged : InstallOutcome::kNewFileMissing);
      continue;
    }
    swap_in(names, view, retry, result, row_observer);
  }
  // The staged updater replaces itself later: the list shows the version it brings.
  const int kept_row = staged_updater_version[0] != '\0' ? updater_row(table) : -1;
  if (kept_row >= 0) set_row_version(table, kept_row, staged_updater_version);
  show_file_rows(table, view, read_file_version, kept_row);
  view.show_status("アップデート終了");
  (void)restart_sibling_programs(was_running, launcher, view, waiter, observer);
  SetForegroundWindow(static_cast<HWND>(owner));
  return result;
}

void recover_interrupted_swaps() {
  remove_stale_archive_temporaries();
  ManagedFileTable names;
  load_managed_names(names);
  for (int i = 0; i < names.RowCount; ++i) {
    const ArchiveNames formed = form_archive_names(names.FileRows[i].Name);
    if (!is_updater_row(formed)) restore_orphaned_backup(formed.target, formed.backup);
  }
}

}  // namespace tolvex
