#include "tools/publish_command.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <limits>
#include <vector>

#include "catalogue/managed_file_table.h"
#include "install/file_swap.h"
#include "lha/archive_writer.h"
#include "tools/file_system.h"
#include "tools/file_version_text.h"
#include "tools/list_checks.h"
#include "tools/publish_checks.h"
#include "tools/signing.h"
#include "trust/manifest.h"
#include "trust/text_forms.h"

namespace tolvex::publish {
namespace {

// What is kept of a release file between reading its version and compressing it: never its bytes.
struct ReleaseFile {
  std::string name;
  std::string path;
  std::string version;
};

// Archive timestamps come from the file's own modification time, so the same release gives
// the same bytes. LHA level-2 headers hold 32 bits of seconds since 1970.
std::uint32_t archive_time(std::int64_t modified) {
  if (modified < 0) return 0;
  return static_cast<std::uint32_t>(std::min<std::int64_t>(modified, std::numeric_limits<std::uint32_t>::max()));
}

// One "name&version" line per file, each ended by CR LF, in table order.
std::vector<std::uint8_t> update_list_text(const std::vector<ReleaseFile>& files) {
  std::string text;
  for (const ReleaseFile& file : files) text += file.name + "&" + file.version + "\r\n";
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

class UnusableFiles {
 public:
  UnusableFiles(Report& report, bool skip) : report_(report), skip_(skip) {}
  void add(const std::string& text) {
    ++count_;
    if (skip_) report_.warning(text + " (left out)");
    else report_.error(text);
  }
  int count() const { return count_; }

 private:
  Report& report_;
  bool skip_;
  int count_ = 0;
};

// Reads one release file (a regular file under its own name, never through a link) and the
// version text the updater would compute for it.
bool read_release_file(const std::string& path, const std::string& name, const TimeZoneSetting& zone,
                       std::vector<std::uint8_t>& bytes, std::int64_t& modified, FileVersionText& version,
                       std::string& error) {
  RegularFile file;
  if (file.open(path, Links::kRefuse, error) != OpenOutcome::kOpened || !read_opened_file(file, bytes, error))
    return false;
  modified = file.modified();
  version = version_text_of(bytes, modified, name, zone);
  return true;
}

// The first pass: every managed regular file of the release folder in table order, one at a
// time, for its version text; the other entries are reported.
bool read_release_versions(const PublishOptions& options, Report& report, Progress& progress, UnusableFiles& unusable,
                           OfferCheck& offers, std::vector<ReleaseFile>& usable) {
  std::vector<std::string> names;
  if (!is_directory(options.release_folder) || !list_files(options.release_folder, names)) {
    report.error("cannot read the release folder " + options.release_folder);
    return false;
  }
  std::vector<std::string> readable;
  for (const std::string& name : names) {
    const std::string path = join_path(options.release_folder, name);
    const EntryKind kind = entry_kind(path);
    std::string reason = kind == EntryKind::kRegular
                             ? unmanaged_name_reason(name)
                             : std::string("not a regular file (") + entry_kind_text(kind) + ")";
    if (!reason.empty()) unusable.add(path + ": " + reason);
    else readable.push_back(name);
  }
  int done = 0;
  const int total = static_cast<int>(readable.size());
  for (const char* name : kManagedFileNames) {
    if (!std::binary_search(readable.begin(), readable.end(), std::string(name))) continue;
    ReleaseFile file{name, join_path(options.release_folder, name), ""};
    progress.step(++done, total, std::string("reading ") + name);
    std::vector<std::uint8_t> bytes;
    std::int64_t modified = 0;
    FileVersionText version;
    std::string error;
    if (!read_release_file(file.path, name, options.zone, bytes, modified, version, error)) {
      unusable.add(file.path + ": " + error);
      continue;
    }
    if (version.outcome != VersionOutcome::kOk) {
      unusable.add(file.path + ": " + version.problem + " (the updater would show \"-\")");
      continue;
    }
    if (version.text.size() >= kVersionFieldSize) {
      unusable.add(file.path + ": its version text " + version.text + " is longer than the " +
                   std::to_string(kVersionFieldSize - 1) + " bytes the updater reads");
      continue;
    }
    file.version = version.text;
    offers.check(file.path, file.name, file.version, bytes);
    usable.push_back(std::move(file));
  }
  return true;
}

// Reads the private key file before anything is compressed, so a wrong path fails at once.
bool read_signing_key(const PublishOptions& options, std::string& pem, Report& report) {
  if (!trust::manifest_name_ok(options.list_name)) {
    report.error("the list name \"" + options.list_name +
                 "\" cannot be signed: the manifest names only printable ASCII");
    return false;
  }
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!read_whole_file(options.signing_key, bytes, error, 64 * 1024)) {
    report.error(options.signing_key + ": " + error);
    return false;
  }
  pem.assign(bytes.begin(), bytes.end());
  return true;
}

// The serial and expiry of the signed release, with nothing of the archives yet.
bool start_manifest(const PublishOptions& options, trust::Manifest& manifest, Report& report) {
  const std::string path = join_path(options.output_folder, options.list_name + trust::kManifestSuffix);
  ReleaseSerial chosen;
  std::string error;
  if (!choose_release_serial(path, options.serial, chosen, error)) {
    report.error(error);
    return false;
  }
  if (!chosen.warning.empty()) report.warning(chosen.warning);
  manifest.format = 2;
  manifest.serial = chosen.serial;
  if (options.expires_in_days > 0) {
    manifest.expires = true;
    manifest.expires_at = static_cast<std::int64_t>(std::time(nullptr)) +
                          static_cast<std::int64_t>(options.expires_in_days) * 24 * 60 * 60;
  }
  return true;
}

// The manifest text for the staged files, signed with the key in `pem`.
bool signed_manifest(const std::string& pem, const trust::Manifest& manifest, std::vector<std::uint8_t>& text,
                     std::string& error) {
  std::string body;
  trust::Signature signature;
  if (!trust::write_manifest_body(manifest, body, error)) return false;
  if (!sign_message(pem, body, signature, error)) return false;
  const std::string whole = trust::append_signature_line(body, signature);
  text.assign(whole.begin(), whole.end());
  return true;
}

bool hash_entry(const std::string& name, const std::vector<std::uint8_t>& bytes, trust::ManifestEntry& entry) {
  entry.name = name;
  return sha256(bytes.data(), bytes.size(), entry.sha256);
}

// The second pass: each file read again, compressed and staged, its bytes dropped before the
// next. A file whose version changed since the first pass stops the run.
bool stage_archives(const PublishOptions& options, const std::vector<ReleaseFile>& files, bool signing,
                    OutputFolderWriter& writer, trust::Manifest& manifest, Report& report, Progress& progress) {
  int done = 0;
  for (const ReleaseFile& file : files) {
    progress.step(++done, static_cast<int>(files.size()), "compressing " + file.name);
    std::vector<lha::ArchiveMember> members(1);
    std::int64_t modified = 0;
    FileVersionText version;
    std::string error;
    if (!read_release_file(file.path, file.name, options.zone, members[0].data, modified, version, error)) {
      report.error(file.path + ": " + error);
      return false;
    }
    if (version.outcome != VersionOutcome::kOk || version.text != file.version) {
      report.error(file.path + ": changed while it was published (its version text was " + file.version +
                   "); publish again");
      return false;
    }
    const ArchiveNames names = form_archive_names(file.name.c_str());
    members[0].name = names.staged;
    members[0].unix_time = archive_time(modified);
    members[0].method = lha::Method::kLh5;
    std::vector<std::uint8_t> archive;
    lha::Result written = lha::write_archive(members, archive);
    members.clear();
    if (!written.ok()) {
      report.error("cannot compress " + file.name + ": " + written.message);
      return false;
    }
    if (!writer.stage(names.archive, archive, error)) {
      report.error(error);
      return false;
    }
    manifest.archives.emplace_back();
    manifest.archives.back().name = names.archive;
    manifest.archives.back().size = static_cast<std::int64_t>(archive.size());
    if (signing && !hash_entry(names.archive, archive, manifest.archives.back())) {
      report.error(std::string("cannot hash ") + names.archive);
      return false;
    }
  }
  return true;
}

}  // namespace

int run_publish(const PublishOptions& options, Report& report, Progress& progress, std::ostream& out) {
  std::string error;
  if (!check_list_name(options.list_name, error)) {
    report.error(error);
    return 1;
  }
  const bool signing = !options.signing_key.empty();
  std::string signing_pem;
  trust::Manifest manifest;
  if (signing && (!read_signing_key(options, signing_pem, report) || !start_manifest(options, manifest, report)))
    return 1;
  UnusableFiles unusable(report, options.skip_unusable);
  OfferCheck offers(report, options.allow_not_offered);
  offers.read_published(options.output_folder, options.list_name);
  std::vector<ReleaseFile> files;
  if (!read_release_versions(options, report, progress, unusable, offers, files)) return 1;
  if ((unusable.count() > 0 && !options.skip_unusable) || offers.errors() > 0) {
    progress.finish();
    report.note(unusable.count() > 0 && !options.skip_unusable
                    ? "nothing was written; fix the files above or pass --skip-unusable to leave them out"
                    : "nothing was written");
    return 1;
  }
  if (files.empty()) {
    report.error("no managed file to publish in " + options.release_folder);
    return 1;
  }

  OutputFolderWriter writer(options.output_folder);
  if (!writer.open(error) || !stage_archives(options, files, signing, writer, manifest, report, progress)) {
    if (!error.empty()) report.error(error);
    return 1;
  }
  const std::vector<std::uint8_t> list = update_list_text(files);
  if (signing) {
    // Staged before the list, which is moved into place last.
    std::vector<std::uint8_t> manifest_text;
    if (!hash_entry(options.list_name, list, manifest.list) ||
        !signed_manifest(signing_pem, manifest, manifest_text, error)) {
      report.error("cannot sign with " + options.signing_key + ": " + error);
      return 1;
    }
    if (!writer.stage(options.list_name + trust::kManifestSuffix, manifest_text, error)) {
      report.error(error);
      return 1;
    }
  }
  const std::string old_manifest = join_path(options.output_folder, options.list_name + trust::kManifestSuffix);
  if (!signing && entry_kind(old_manifest) != EntryKind::kMissing)
    report.warning(
        old_manifest +
        ": left from an earlier signed publish and not updated by this one (publish with --sign, or remove it)");
  if (!writer.stage(options.list_name, list, error) || !writer.commit(error)) {
    report.error(error);
    return 1;
  }
  progress.finish();

  out << "published " << files.size() << (files.size() == 1 ? " file" : " files") << " into " << options.output_folder
      << " (list " << options.list_name;
  if (signing) {
    out << ", signed manifest " << options.list_name << trust::kManifestSuffix << ", serial " << manifest.serial;
    if (manifest.expires) out << ", expires " << trust::format_utc_time(manifest.expires_at);
  }
  out << ")\n";
  for (const ReleaseFile& file : files)
    out << "  " << file.name << "&" << file.version << "  " << form_archive_names(file.name.c_str()).archive << "\n";
  return 0;
}

std::string OutputFolderWriter::final_path(const Staged& file) const { return join_path(folder_, file.name); }
std::string OutputFolderWriter::temporary_path(const Staged& file) const { return final_path(file) + kTemporarySuffix; }
std::string OutputFolderWriter::previous_path(const Staged& file) const { return final_path(file) + kPreviousSuffix; }

bool OutputFolderWriter::open(std::string& error) {
  if (is_directory(folder_)) return true;
  if (file_exists(folder_)) {
    error = "output folder " + folder_ + " is a file";
    return false;
  }
  if (!make_directory(folder_)) {
    error = "cannot create the output folder " + folder_ + ": " + last_system_error();
    return false;
  }
  created_folder_ = true;
  return true;
}

bool OutputFolderWriter::stage(const std::string& name, const std::vector<std::uint8_t>& bytes, std::string& error) {
  staged_.push_back(Staged{name});
  Staged& file = staged_.back();
  const std::string temporary = temporary_path(file);
  std::string why;
  if (!remove_file_or_link(temporary, why) || !create_new_file(temporary, bytes, false, why)) {
    error = "cannot write " + temporary + ": " + why;
    return false;
  }
  file.created = true;
  return true;
}

bool OutputFolderWriter::commit(std::string& error) {
  for (Staged& file : staged_) {
    const EntryKind old = entry_kind(final_path(file));
    if (old == EntryKind::kFolder) {
      error = "cannot replace " + final_path(file) + ": it is a folder";
      return false;
    }
    if (old != EntryKind::kMissing) {
      std::string why;
      if (!remove_file_or_link(previous_path(file), why)) {
        error = "cannot move the old " + final_path(file) + " aside: " + previous_path(file) + ": " + why;
        return false;
      }
      if (!replace_file(final_path(file), previous_path(file))) {
        error = "cannot move the old " + final_path(file) + " aside: " + last_system_error();
        return false;
      }
      file.had_previous = true;
    }
    if (!replace_file(temporary_path(file), final_path(file))) {
      error = "cannot move " + temporary_path(file) + " into place: " + last_system_error();
      return false;
    }
    file.moved = true;
  }
  std::string ignored;
  for (const Staged& file : staged_)
    if (file.had_previous) remove_file_or_link(previous_path(file), ignored);
  committed_ = true;
  return true;
}

void OutputFolderWriter::roll_back() {
  if (committed_) return;
  std::string ignored;
  for (auto file = staged_.rbegin(); file != staged_.rend(); ++file) {
    if (file->moved) remove_file_or_link(final_path(*file), ignored);
    else if (file->created) remove_file_or_link(temporary_path(*file), ignored);
    if (file->had_previous) replace_file(previous_path(*file), final_path(*file));
  }
  staged_.clear();
  if (created_folder_) remove_directory(folder_);  // only succeeds while empty
}

}  // namespace tolvex::publish
