#include "tools/publish_checks.h"

#include <cstring>
#include <memory>
#include <vector>

#include "catalogue/managed_file_table.h"
#include "catalogue/update_list.h"
#include "install/file_swap.h"
#include "lha/archive_reader.h"
#include "tools/file_system.h"
#include "tools/file_version_text.h"
#include "trust/manifest.h"

namespace tolvex::publish {

bool choose_release_serial(const std::string& manifest_path, std::uint64_t requested, ReleaseSerial& chosen,
                           std::string& error) {
  chosen = ReleaseSerial();
  if (entry_kind(manifest_path) == EntryKind::kMissing) {
    chosen.serial = requested != 0 ? requested : 1;
    return true;
  }
  std::vector<std::uint8_t> bytes;
  std::string problem;
  trust::ParsedManifest parsed;
  if (!read_whole_file(manifest_path, bytes, problem, trust::kManifestMaxSize) ||
      !trust::parse_manifest(reinterpret_cast<const char*>(bytes.data()), bytes.size(), parsed, problem)) {
    if (requested == 0) {
      error = manifest_path + ": cannot read the published release's manifest (" + problem +
              "), so the serial of this release is not known; give it with --serial N";
      return false;
    }
    chosen.serial = requested;
    chosen.warning = manifest_path + ": cannot read the published release's manifest (" + problem + "); serial " +
                     std::to_string(requested) + " is used as given";
    return true;
  }
  const std::uint64_t published = parsed.manifest.format == 1 ? 0 : parsed.manifest.serial;
  if (requested != 0 && requested < published) {
    error = "--serial " + std::to_string(requested) + " is lower than the serial " + std::to_string(published) +
            " of the published release (" + manifest_path +
            "): updaters that have seen that release would refuse this one as older";
    return false;
  }
  if (requested == 0 && published >= trust::kManifestMaxSerial) {
    error = manifest_path + ": the published release has the highest serial a manifest holds (" +
            std::to_string(published) + "); no later release can be numbered";
    return false;
  }
  chosen.serial = requested != 0 ? requested : published + 1;
  return true;
}

namespace {

constexpr std::uint64_t kMaxListBytes = 1 << 20;

// Compares decoded bytes with `expected` as they come, keeping none of them.
class ComparingSink final : public lha::OutputSink {
 public:
  explicit ComparingSink(const std::vector<std::uint8_t>& expected) : expected_(expected) {}
  bool write(const std::uint8_t* data, std::size_t size) override {
    if (size > expected_.size() - position_ || std::memcmp(expected_.data() + position_, data, size) != 0)
      equal_ = false;
    else position_ += size;
    return true;
  }
  bool equal() const { return equal_ && position_ == expected_.size(); }

 private:
  const std::vector<std::uint8_t>& expected_;
  std::size_t position_ = 0;
  bool equal_ = true;
};

}  // namespace

bool PublishedRelease::read(const std::string& folder, const std::string& list_name, std::string& error) {
  folder_ = folder;
  versions_.clear();
  const std::string path = join_path(folder, list_name);
  if (entry_kind(path) == EntryKind::kMissing) return true;
  std::vector<std::uint8_t> bytes;
  if (!read_whole_file(path, bytes, error, kMaxListBytes)) return false;
  const std::string text(bytes.begin(), bytes.end());  // the parser reads it up to a NUL, as the updater does
  auto rows = std::make_unique<UpdateListRows>();
  const std::int32_t count = parse_update_list(text.c_str(), *rows, kManagedFileCount);
  for (std::int32_t i = 0; i < count; ++i) {
    if (rows->Oversized[i] || rows->ListRows[i].Name[0] == '\0') continue;
    versions_.emplace(rows->ListRows[i].Name, rows->ListRows[i].Version);  // the first entry of a name stays
  }
  return true;
}

const std::string* PublishedRelease::listed_version(const std::string& name) const {
  const auto found = versions_.find(name);
  return found == versions_.end() ? nullptr : &found->second;
}

std::string PublishedRelease::archive_path(const std::string& name) const {
  return join_path(folder_, form_archive_names(name.c_str()).archive);
}

ArchiveComparison PublishedRelease::compare_archive(const std::string& name, const std::vector<std::uint8_t>& bytes,
                                                    std::string& error) const {
  const ArchiveNames names = form_archive_names(name.c_str());
  ArchiveFileInput input;
  const OpenOutcome opened = input.open(archive_path(name), error);
  if (opened == OpenOutcome::kMissing) error = "missing";
  if (opened != OpenOutcome::kOpened) return ArchiveComparison::kUnreadable;
  lha::ArchiveReader reader(input);
  lha::MemberHeader header;
  bool at_end = false;
  for (;;) {
    const lha::Result result = reader.next(header, at_end);
    if (!result.ok()) {
      error = std::string("damaged: ") + result.message;
      return ArchiveComparison::kUnreadable;
    }
    if (at_end) break;
    if (header.stored_path != names.staged) continue;
    if (header.original_size != bytes.size()) return ArchiveComparison::kDifferent;
    ComparingSink sink(bytes);
    const lha::Result decoded = reader.extract(sink);
    if (!decoded.ok()) {
      error = std::string("damaged: ") + decoded.message;
      return ArchiveComparison::kUnreadable;
    }
    return sink.equal() ? ArchiveComparison::kSame : ArchiveComparison::kDifferent;
  }
  error = std::string("it holds no member ") + names.staged;
  return ArchiveComparison::kUnreadable;
}

void OfferCheck::problem(const std::string& text) {
  if (allow_) {
    report_.warning(text + " (published anyway: --allow-not-offered)");
    return;
  }
  report_.error(text + "; raise the version or pass --allow-not-offered");
  ++errors_;
}

void OfferCheck::read_published(const std::string& folder, const std::string& list_name) {
  std::string error;
  known_ = published_.read(folder, list_name, error);
  if (!known_)
    problem(join_path(folder, list_name) + ": cannot read the published list (" + error +
            ") to check that updaters will be offered the files that changed");
}

void OfferCheck::check(const std::string& path, const std::string& name, const std::string& version,
                       const std::vector<std::uint8_t>& bytes) {
  if (!known_) return;
  const std::string* listed = published_.listed_version(name);
  if (listed == nullptr || compare_version_texts(version.c_str(), listed->c_str()) > 0) return;
  std::string error;
  const ArchiveComparison archive = published_.compare_archive(name, bytes, error);
  if (archive == ArchiveComparison::kSame) return;  // the same file again: nothing to offer
  std::string text = path + ": ";
  if (archive == ArchiveComparison::kDifferent)
    text += "its bytes changed since the published release, but its version text " + version + " is not newer than " +
            *listed + " to the updater (byte-string order), so no updater would offer it";
  else
    text += "its version text " + version + " is not newer than " + *listed +
            ", the published release's, to the updater (byte-string order), and " + published_.archive_path(name) +
            " cannot be read to tell whether its bytes changed (" + error + "); if they did, no updater would offer it";
  int numeric = 0;
  if (compare_version_numbers(version, *listed, numeric) && numeric > 0)
    text += " (as numbers " + version + " is newer, but the updater compares the texts byte by byte)";
  problem(text);
}

}  // namespace tolvex::publish
