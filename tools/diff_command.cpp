#include "tools/diff_command.h"

#include <cstring>
#include <iomanip>
#include <vector>

#include "catalogue/managed_file_table.h"
#include "catalogue/update_list.h"
#include "tools/file_system.h"
#include "tools/file_version_text.h"
#include "tools/list_checks.h"

namespace tolvex::publish {
namespace {

// compare_step writes to the main window's list view and status line; here nothing shows them.
class UnseenView final : public CatalogueView {
 public:
  void show_status(const char*) override {}
  void reset_progress() override {}
  void clear_rows() override {}
  void insert_row(int, const char*, const char*) override {}
  void set_latest_version(int, const char*) override {}
};

int first_row_named(const ManagedFileTable& table, const char* name) {
  for (int row = 0; row < table.RowCount; ++row)
    if (std::strcmp(table.FileRows[row].Name, name) == 0) return row;
  return -1;
}

void print_line(std::ostream& out, const char* verdict, const std::string& name, const std::string& local,
                const std::string& listed) {
  out << std::left << std::setw(8) << verdict << ' ' << std::setw(13) << name << ' ' << local << " -> " << listed
      << '\n';
}

// Says where the texts' byte order (what the updater uses) and their numeric order disagree.
void warn_about_byte_order(const std::string& name, const std::string& local, const std::string& listed,
                           Report& report) {
  int numeric = 0;
  if (!compare_version_numbers(listed, local, numeric)) return;
  const int bytes = compare_version_texts(listed.c_str(), local.c_str());
  if (numeric > 0 && bytes <= 0)
    report.warning(name + ": listed " + listed + " is numerically newer than installed " + local +
                   " but sorts below it as text, so the updater will NOT offer it");
  else if (numeric <= 0 && bytes > 0)
    report.warning(name + ": listed " + listed + " is numerically " + (numeric == 0 ? "equal to" : "older than") +
                   " installed " + local + " but sorts above it as text, so the updater WILL offer it");
}

}  // namespace

int run_diff(const DiffOptions& options, Report& report, std::ostream& out) {
  std::string text;  // the updater reads it up to a NUL byte
  if (!read_published_list(options.output_folder, options.list_name, text, report)) return 1;
  if (!is_directory(options.install_folder)) {
    report.error("cannot read the installed suite's folder " + options.install_folder);
    return 1;
  }

  ManagedFileTable table;
  load_managed_names(table);
  for (int row = 0; row < table.RowCount; ++row) {
    const char* name = table.FileRows[row].Name;
    FileVersionText local = file_version_text(join_path(options.install_folder, name), name, options.zone);
    set_row_version(table, row, local.text.c_str());
  }
  UpdateListRows rows;
  UnseenView view;
  const std::int32_t found = compare_step(table, rows, text.c_str(), view);

  // The same walk as the comparison, to say what happened to each entry.
  for (int j = 0; j < table.RowCount; ++j) {
    const FileEntry& entry = rows.ListRows[j];
    if (entry.Name[0] == '\0') {
      if (rows.Oversized[j] || (j + 1 < table.RowCount && rows.ListRows[j + 1].Name[0] != '\0'))
        report.warning("entry " + std::to_string(j + 1) + " has no usable name; the updater compares nothing after it");
      break;
    }
    const int row = first_row_named(table, entry.Name);
    if (row < 0) {
      out << std::left << std::setw(8) << "ignored" << ' ' << entry.Name << " (not a managed file)\n";
      continue;
    }
    const std::string local = table.FileRows[row].Version;
    const int order = compare_version_texts(entry.Version, local.c_str());
    print_line(out, order > 0 ? "update" : (order == 0 ? "current" : "keep"), entry.Name, local, entry.Version);
    warn_about_byte_order(entry.Name, local, entry.Version, report);
  }

  out << "the updater would find " << found << (found == 1 ? " newer version" : " newer versions");
  const char* separator = ": ";
  for (int row = 0; row < table.RowCount; ++row) {
    if (table.UpdateFlags[row] == 0) continue;
    out << separator << table.FileRows[row].Name;
    separator = ", ";
  }
  out << '\n';
  return 0;
}

}  // namespace tolvex::publish
