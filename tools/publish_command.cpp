#include "tools/publish_command.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "catalogue/file_entry.h"
#include "catalogue/managed_file_table.h"
#include "install/archive_names.h"
#include "lha/archive_writer.h"
#include "tools/file_system.h"
#include "tools/file_version_text.h"
#include "tools/list_name.h"
#include "tools/managed_names.h"
#include "tools/output_folder_writer.h"
#include "tools/signing.h"
#include "trust/manifest.h"

namespace tolvex::publish {
namespace {

struct ReleaseFile {
  std::string name;
  std::string version;
  std::vector<std::uint8_t> bytes;
  std::int64_t modified = 0;
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

// Reads every managed file of the release folder in table order; the others are reported.
bool read_release(const PublishOptions& options, Report& report, Progress& progress, UnusableFiles& unusable,
                  std::vector<ReleaseFile>& usable) {
  std::vector<std::string> names;
  if (!is_directory(options.release_folder) || !list_files(options.release_folder, names)) {
    report.error("cannot read the release folder " + options.release_folder);
    return false;
  }
  for (const std::string& name : names) {
    std::string reason = unmanaged_name_reason(name);
    if (!reason.empty()) unusable.add(join_path(options.release_folder, name) + ": " + reason);
  }
  int done = 0;
  const int total = static_cast<int>(names.size());
  for (const char* name : kManagedFileNames) {
    if (!std::binary_search(names.begin(), names.end(), std::string(name))) continue;
    const std::string path = join_path(options.release_folder, name);
    progress.step(++done, total, std::string("reading ") + name);
    ReleaseFile file;
    file.name = name;
    FileVersionText version = file_version_text(path, name, options.zone, &file.bytes, &file.modified);
    if (version.outcome != VersionOutcome::ok) {
      unusable.add(path + ": " + version.problem + " (the updater would show \"-\")");
      continue;
    }
    if (version.text.size() >= kVersionFieldSize) {
      unusable.add(path + ": its version text " + version.text + " is longer than the " +
                   std::to_string(kVersionFieldSize - 1) + " bytes the updater reads");
      continue;
    }
    file.version = version.text;
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

}  // namespace

int run_publish(const PublishOptions& options, Report& report, Progress& progress, std::ostream& out) {
  std::string error;
  if (!check_list_name(options.list_name, error)) {
    report.error(error);
    return 1;
  }
  const bool signing = !options.signing_key.empty();
  std::string signing_pem;
  if (signing && !read_signing_key(options, signing_pem, report)) return 1;
  UnusableFiles unusable(report, options.skip_unusable);
  std::vector<ReleaseFile> files;
  if (!read_release(options, report, progress, unusable, files)) return 1;
  if (unusable.count() > 0 && !options.skip_unusable) {
    progress.finish();
    report.note("nothing was written; fix the files above or pass --skip-unusable to leave them out");
    return 1;
  }
  if (files.empty()) {
    report.error("no managed file to publish in " + options.release_folder);
    return 1;
  }

  OutputFolderWriter writer(options.output_folder);
  if (!writer.open(error)) {
    report.error(error);
    return 1;
  }
  int done = 0;
  trust::Manifest manifest;
  manifest.serial = 1;
  for (const ReleaseFile& file : files) {
    progress.step(++done, static_cast<int>(files.size()), "compressing " + file.name);
    const ArchiveNames names = form_archive_names(file.name.c_str());
    std::vector<lha::ArchiveMember> members{{names.staged, file.bytes, archive_time(file.modified), lha::Method::lh5}};
    std::vector<std::uint8_t> archive;
    lha::Result written = lha::write_archive(members, archive);
    if (!written.ok()) {
      report.error("cannot compress " + file.name + ": " + written.message);
      return 1;
    }
    if (!writer.stage(names.archive, archive, error)) {
      report.error(error);
      return 1;
    }
    manifest.archives.emplace_back();
    manifest.archives.back().size = static_cast<std::int64_t>(archive.size());
    if (signing && !hash_entry(names.archive, archive, manifest.archives.back())) {
      report.error(std::string("cannot hash ") + names.archive);
      return 1;
    }
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
  if (!signing && file_exists(old_manifest))
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
  if (signing) out << ", signed manifest " << options.list_name << trust::kManifestSuffix;
  out << ")\n";
  for (const ReleaseFile& file : files)
    out << "  " << file.name << "&" << file.version << "  " << form_archive_names(file.name.c_str()).archive << "\n";
  return 0;
}

}  // namespace tolvex::publish
