#include "install/install_updates.h"

#include <cstdio>
#include <cstring>

#include "catalogue/file_version_reader.h"
#include "install/archive_extraction.h"
#include "install/archive_names.h"
#include "install/file_swap.h"
#include "install/sibling_programs.h"
#include "text/cp932.h"

namespace tolvex {
namespace {

// A row whose swap failed: its archive and staged file go, the old file stays (or comes back).
void report_failed_row(const ArchiveNames& names, CommandWindow& window, int& result) {
  char text[1024] = {};
  std::snprintf(text, sizeof text, "%s:update faild.", names.target);
  window.show_status(text);
  result = 0;
  remove_file(names.archive);
  remove_file(names.staged);
}

// Swaps the staged file in under the target's name, keeping the old file as the backup until
// the new one stands under the name.
void swap_in(const ArchiveNames& names, CommandWindow& window, int& result) {
  flush_to_disk(names.staged);
  remove_file(names.backup);
  if (is_readable(names.target) && !rename_file(names.target, names.backup)) {
    report_failed_row(names, window, result);
    return;
  }
  if (!rename_file(names.staged, names.target)) {
    report_failed_row(names, window, result);
    rename_file(names.backup, names.target);
    return;
  }
  remove_file(names.backup);
  remove_file(names.archive);
}

void refresh_table(ManagedFileTable& table, const char* staged_updater_version, CommandWindow& window) {
  window.clear_rows();
  for (int i = 0; i < table.RowCount; ++i) {
    FileEntry& row = table.FileRows[i];
    if (std::strcmp(row.Name, "tolvex.exe") == 0 && staged_updater_version[0] != '\0') {
      set_row_version(table, i, staged_updater_version);
    } else {
      char text[kVersionTextSize] = {};
      read_file_version(row.Name, text, sizeof text);
      set_row_version(table, i, text);
    }
    window.insert_row(i, row.Name, table.DisplayVersions[i]);
  }
}

}  // namespace

int install_updates(UpdateWindowState& state, CommandWindow& window, Waiter& waiter) {
  close_sibling_programs(state.WasRunning, window, waiter);
  int result = 1;
  char staged_updater_version[1024] = {};
  ManagedFileTable& table = state.Table;
  for (int i = 0; i < table.RowCount; ++i) {
    if (table.UpdateFlags[i] == 0) continue;
    const ArchiveNames names = form_archive_names(table.FileRows[i].Name);
    const bool updater = is_updater_row(names);
    // A staged file left by an earlier, interrupted run must never be installed as this one.
    remove_file(names.staged);
    if (!updater) restore_orphaned_backup(names.target, names.backup);
    extract_archive(window.owner(), names.archive);
    if (updater) {
      char text[kVersionTextSize] = {};
      read_file_version(names.staged, text, sizeof text);
      copy_cp932_text(staged_updater_version, sizeof staged_updater_version, text);
      remove_file(names.archive);
      continue;
    }
    swap_in(names, window, result);
  }
  refresh_table(table, staged_updater_version, window);
  window.show_status("アップデート終了");
  restart_sibling_programs(state.WasRunning, window, waiter);
  SetForegroundWindow(window.owner());
  return result;
}

void recover_interrupted_swaps() {
  ManagedFileTable names;
  load_managed_names(names);
  for (int i = 0; i < names.RowCount; ++i) {
    const ArchiveNames formed = form_archive_names(names.FileRows[i].Name);
    if (!is_updater_row(formed)) restore_orphaned_backup(formed.target, formed.backup);
  }
}

}  // namespace tolvex
