#pragma once
// The release already in an output folder, as a new publish into that folder compares with it:
// the version its list gives each file and whether its archive holds the same bytes as a new
// file. Updaters that installed that release hold exactly those versions, and are offered a
// file of the new release only when its version text is newer to them.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tolvex::publish {

enum class ArchiveComparison {
  same,        // the archive's member holds exactly the bytes given
  different,   // it holds other bytes
  unreadable,  // missing, damaged or without the member: `error` says which
};

class PublishedRelease {
 public:
  // Reads the list `list_name` of `folder` with the updater's own parser. A folder without the
  // list holds no release. False with `error` when the list is there but cannot be read.
  bool read(const std::string& folder, const std::string& list_name, std::string& error);

  // The version text the list gives the file `name` (its first entry, as the updater takes it),
  // or null when the list does not name it.
  const std::string* listed_version(const std::string& name) const;

  // Whether the archive of `name` in the folder holds `bytes` as the member the updater
  // installs. Decodes it as a stream; nothing of it is kept.
  ArchiveComparison compare_archive(const std::string& name, const std::vector<std::uint8_t>& bytes,
                                    std::string& error) const;

  // The path of the archive of `name` in the folder.
  std::string archive_path(const std::string& name) const;

 private:
  std::string folder_;
  std::map<std::string, std::string> versions_;
};

}  // namespace tolvex::publish
