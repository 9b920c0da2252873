#include "tools/verify_command.h"

#include <cstdint>
#include <ctime>
#include <set>
#include <vector>

#include "catalogue/pe_version_reader.h"
#include "catalogue/version_text.h"
#include "install/file_swap.h"
#include "lha/archive_reader.h"
#include "tools/file_system.h"
#include "tools/list_checks.h"
#include "tools/publish_command.h"
#include "tools/signing.h"
#include "trust/manifest.h"
#include "trust/text_forms.h"

namespace tolvex::publish {
namespace {

// No member the publisher writes is larger: it reads release files up to this size. Only the
// staged member is held in memory (for its version), and never beyond this.
constexpr std::uint64_t kMaxMemberBytes = kMaxReleaseFileBytes;

// Checks one published archive the way the updater uses it: it must open, every member must
// decode with a matching CRC-16, and it must hold the member "<base>.___" that the updater
// installs (other members would be extracted into the user's folder as well). Members are
// decoded as a stream; a member without a CRC or declaring more than the publisher writes is
// refused before it is decoded. Reports the archive's problems. True with the staged member's
// bytes in `staged` when the archive holds a usable staged member.
bool check_archive(const std::string& path, const std::string& staged_name, Report& report,
                   std::vector<std::uint8_t>& staged) {
  ArchiveFileInput input;
  std::string error;
  const OpenOutcome opened = input.open(path, error);
  if (opened == OpenOutcome::kMissing) {
    report.error(path + ": missing; the updater would fail to download it");
    return false;
  }
  if (opened != OpenOutcome::kOpened) {
    report.error(path + ": " + error);
    return false;
  }
  lha::ArchiveReader reader(input);
  lha::MemberHeader header;
  bool at_end = false, found = false;
  int members = 0;
  for (;;) {
    lha::Result result = reader.next(header, at_end);
    if (!result.ok()) {
      report.error(path + ": damaged after " + std::to_string(members) +
                   " member(s): " + lha::status_name(result.status) + ": " + result.message);
      return false;
    }
    if (at_end) break;
    ++members;
    const bool exact = header.stored_path == staged_name;
    const bool other_case = !exact && equals_ignoring_ascii_case(header.stored_path.c_str(), staged_name.c_str());
    if (header.original_size > kMaxMemberBytes) {
      report.error(path + ": member " + header.stored_path + " declares " + std::to_string(header.original_size) +
                   " bytes, more than the publisher writes (" + std::to_string(kMaxMemberBytes) + ")");
      return false;
    }
    if (!header.has_crc && !header.is_directory) {
      report.error(path + ": member " + header.stored_path + " has no CRC; the updater's archive library refuses it");
      return false;
    }
    lha::VectorSink kept;
    lha::NullSink dropped;
    lha::OutputSink& sink = exact ? static_cast<lha::OutputSink&>(kept) : dropped;
    lha::Result decoded = reader.extract(sink);
    if (!decoded.ok()) {
      report.error(path + ": member " + header.stored_path + " does not decode: " + lha::status_name(decoded.status) +
                   ": " + decoded.message);
      return false;
    }
    if (exact && !found) {
      found = true;
      staged = std::move(kept.bytes);
    } else if (other_case) {
      report.warning(path + ": member " + header.stored_path + " differs from " + staged_name +
                     " in letter case; found only on file systems that ignore case");
    } else if (!exact) {
      report.warning(path + ": also holds " + header.stored_path +
                     ", which the updater would extract into the user's folder too");
    }
  }
  if (members == 0) {
    report.error(path + ": holds no member (or is not an LHA archive)");
    return false;
  }
  if (!found) report.error(path + ": does not hold the member " + staged_name + " that the updater installs");
  return found;
}

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
  if (status != PeVersionStatus::kOk) {
    report.error(archive + ": the file it holds has no readable version (" + pe_version_status_text(status) +
                 "); the updater would show \"-\" after installing it and offer it again");
    return;
  }
  char text[kVersionTextSize];
  format_file_version(version.file_version_ms, version.file_version_ls, text, sizeof text);
  if (entry.version != text)
    report.error(archive + ": the file it holds has version " + text + " but the list says " + entry.version);
}

bool read_public_key(const std::string& path, trust::PublicKey& key, Report& report) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!read_whole_file(path, bytes, error, 4096) ||
      !trust::parse_public_key(reinterpret_cast<const char*>(bytes.data()), bytes.size(), key, error)) {
    report.error(path + ": " + error);
    return false;
  }
  return true;
}

// Reports when the file `path` the manifest names in `entry` cannot be read, or its size (when
// the manifest gives one) or its SHA-256 is not the manifest's.
void check_signed_file(const std::string& path, const trust::ManifestEntry& entry, const std::string& manifest_path,
                       Report& report) {
  std::vector<std::uint8_t> bytes;
  std::string error;
  trust::Sha256 actual;
  if (!read_whole_file(path, bytes, error)) {
    report.error(path + ": named in the manifest " + manifest_path + " but " + error);
  } else if (entry.size >= 0 && bytes.size() != static_cast<std::uint64_t>(entry.size)) {
    report.error(path + ": " + std::to_string(bytes.size()) + " bytes, but the manifest " + manifest_path + " says " +
                 std::to_string(entry.size) + " (changed after signing?)");
  } else if (!sha256(bytes.data(), bytes.size(), actual)) {
    report.error(path + ": cannot hash it");
  } else if (actual != entry.sha256) {
    report.error(path + ": its SHA-256 is not the one the manifest " + manifest_path +
                 " names (changed after signing?)");
  }
}

// Which release the manifest says it is, for the summary line.
std::string release_text(const trust::Manifest& manifest) {
  if (manifest.format == 1) return "manifest format 1, without serial or expiry";
  std::string text = "manifest serial " + std::to_string(manifest.serial);
  text += manifest.expires ? ", expires " + trust::format_utc_time(manifest.expires_at) : ", no expiry";
  return text;
}

// Checks the manifest beside the list; a line on `out` says what was checked. Without a key
// only the form, the sizes and the hashes can be checked. Returns release_text() of a manifest
// that could be read, else "".
std::string check_manifest(const VerifyOptions& options, const std::set<std::string>& listed_archives, Report& report,
                           std::ostream& out) {
  const bool with_key = !options.public_key_file.empty();
  const std::string path = join_path(options.output_folder, options.list_name + trust::kManifestSuffix);
  if (entry_kind(path) == EntryKind::kMissing) {
    if (with_key) report.error(path + ": missing; the folder is not signed");
    return "";
  }
  if (!signing_available()) {
    out << "manifest " << path << " NOT checked: " << kSigningUnavailable << "\n";
    return "";
  }
  const int errors_before = report.errors();
  trust::PublicKey key;
  if (with_key && !read_public_key(options.public_key_file, key, report)) return "";
  std::vector<std::uint8_t> bytes;
  std::string error;
  trust::ParsedManifest parsed;
  if (!read_whole_file(path, bytes, error, trust::kManifestMaxSize) ||
      !trust::parse_manifest(reinterpret_cast<const char*>(bytes.data()), bytes.size(), parsed, error)) {
    report.error(path + ": " + error);
    return "";
  }
  const trust::Manifest& manifest = parsed.manifest;
  if (manifest.expires && static_cast<std::int64_t>(std::time(nullptr)) >= manifest.expires_at)
    report.error(path + ": expired at " + trust::format_utc_time(manifest.expires_at) +
                 "; updaters refuse this release (publish it again with a later expiry)");
  if (parsed.manifest.list.name != options.list_name) {
    report.error(path + ": names the list \"" + parsed.manifest.list.name + "\", not " + options.list_name);
  } else {
    check_signed_file(join_path(options.output_folder, options.list_name), parsed.manifest.list, path, report);
  }
  std::set<std::string> named;
  for (const trust::ManifestEntry& archive : parsed.manifest.archives) {
    named.insert(archive.name);
    check_signed_file(join_path(options.output_folder, archive.name), archive, path, report);
  }
  for (const std::string& archive : listed_archives) {
    if (named.count(archive) == 0)
      report.error(join_path(options.output_folder, archive) + ": not named in the manifest " + path);
  }
  if (!with_key) {
    if (report.errors() == errors_before)
      out << "manifest " << path << ": form, sizes and hashes checked; signature NOT checked (give --key PUBLIC_KEY)\n";
    return release_text(manifest);
  }
  if (!verify_message(key, parsed.signed_part, parsed.signature)) {
    report.error(path + ": the signature does not match the key " + options.public_key_file);
    return release_text(manifest);
  }
  if (report.errors() == errors_before)
    out << "manifest " << path << ": form, sizes, hashes and signature checked with " << options.public_key_file
        << "\n";
  return release_text(manifest);
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
  const std::string release = check_manifest(options, listed_archives, report, out);

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
  if (!release.empty()) out << "; " << release;
  if (report.warnings() > 0)
    out << " (" << report.warnings() << (report.warnings() == 1 ? " warning" : " warnings") << ")";
  out << "\n";
  return 0;
}

}  // namespace tolvex::publish
