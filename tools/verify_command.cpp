#include "tools/verify_command.h"

#include <set>
#include <vector>

#include "catalogue/version_text.h"
#include "install/archive_names.h"
#include "tools/archive_checks.h"
#include "tools/file_system.h"
#include "tools/list_checks.h"
#include "tools/managed_names.h"
#include "tools/output_folder_writer.h"
#include "tools/pe_version_reader.h"

namespace tolvex::publish {
namespace {

bool ends_with(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The version the staged file carries must be the one listed, or the updater would offer the
// file again after every update (or never offer a newer one).
void check_staged_version(const std::string& archive, const ListedEntry& entry, const std::vector<std::uint8_t>& staged,
                          Report& report) {
  if (equals_ignoring_ascii_case(entry.name.c_str(), kHelpFileName)) return;  // dated by the user's copy
  FixedFileVersion version;
  PeVersionStatus status = read_pe_file_version(staged.data(), staged.size(), version);
  if (status != PeVersionStatus::ok) {
    report.error(archive + ": the file it holds has no readable version (" + pe_version_status_text(status) +
                 "); the updater would show \"-\" after installing it and offer it again");
    return;
  }
  char text[kVersionTextSize];
  format_file_version(version.file_version_ms, version.file_version_ls, text, sizeof text);
  if (entry.version != text)
    report.error(archive + ": the file it holds has version " + text + " but the list says " + entry.version);
}

}  // namespace

int run_verify(const VerifyOptions& options, Report& report, Progress& progress, std::ostream& out) {
  std::string text;
  if (!read_published_list(options.output_folder, options.list_name, text, report)) return 1;
  const std::vector<ListedEntry> entries = check_update_list_text(text, report);

  std::set<std::string> listed_archives;
  int done = 0;
  for (const ListedEntry& entry : entries) {
    progress.step(++done, static_cast<int>(entries.size()), "checking " + entry.name);
    if (managed_row(entry.name) < 0) continue;  // reported already; no archive is fetched for it
    const ArchiveNames names = form_archive_names(entry.name.c_str());
    if (!listed_archives.insert(names.archive).second) continue;
    const std::string archive = join_path(options.output_folder, names.archive);
    std::vector<std::uint8_t> staged;
    if (check_archive(archive, names.staged, report, staged)) check_staged_version(archive, entry, staged, report);
  }
  progress.finish();

  std::vector<std::string> files;
  list_files(options.output_folder, files);
  for (const std::string& file : files) {
    if (ends_with(file, ".lzh") && listed_archives.count(file) == 0)
      report.warning(join_path(options.output_folder, file) + ": an archive the list does not name");
    if (ends_with(file, OutputFolderWriter::kTemporarySuffix) || ends_with(file, OutputFolderWriter::kPreviousSuffix))
      report.warning(join_path(options.output_folder, file) + ": left over from an interrupted publish");
  }

  if (report.errors() > 0) {
    out << "FAILED: " << report.errors() << (report.errors() == 1 ? " problem" : " problems") << " in "
        << options.output_folder << "\n";
    return 1;
  }
  out << "OK: " << entries.size() << (entries.size() == 1 ? " entry" : " entries") << " and " << listed_archives.size()
      << (listed_archives.size() == 1 ? " archive" : " archives") << " in " << options.output_folder;
  if (report.warnings() > 0)
    out << " (" << report.warnings() << (report.warnings() == 1 ? " warning" : " warnings") << ")";
  out << "\n";
  return 0;
}

}  // namespace tolvex::publish
