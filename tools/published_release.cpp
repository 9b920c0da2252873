#include "tools/published_release.h"

#include <cstring>
#include <memory>

#include "catalogue/managed_file_table.h"
#include "catalogue/update_list.h"
#include "install/file_swap.h"
#include "lha/archive_reader.h"
#include "tools/archive_file_input.h"
#include "tools/file_system.h"

namespace tolvex::publish {
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
  if (entry_kind(path) == EntryKind::missing) return true;
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
  if (opened == OpenOutcome::missing) error = "missing";
  if (opened != OpenOutcome::opened) return ArchiveComparison::unreadable;
  lha::ArchiveReader reader(input);
  lha::MemberHeader header;
  bool at_end = false;
  for (;;) {
    const lha::Result result = reader.next(header, at_end);
    if (!result.ok()) {
      error = std::string("damaged: ") + result.message;
      return ArchiveComparison::unreadable;
    }
    if (at_end) break;
    if (header.stored_path != names.staged) continue;
    if (header.original_size != bytes.size()) return ArchiveComparison::different;
    ComparingSink sink(bytes);
    const lha::Result decoded = reader.extract(sink);
    if (!decoded.ok()) {
      error = std::string("damaged: ") + decoded.message;
      return ArchiveComparison::unreadable;
    }
    return sink.equal() ? ArchiveComparison::same : ArchiveComparison::different;
  }
  error = std::string("it holds no member ") + names.staged;
  return ArchiveComparison::unreadable;
}

}  // namespace tolvex::publish
