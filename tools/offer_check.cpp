#include "tools/offer_check.h"

#include "catalogue/update_list.h"
#include "tools/file_system.h"
#include "tools/version_order.h"

namespace tolvex::publish {

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
  if (archive == ArchiveComparison::same) return;  // the same file again: nothing to offer
  std::string text = path + ": ";
  if (archive == ArchiveComparison::different)
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
