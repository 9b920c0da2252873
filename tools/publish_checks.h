#pragma once
// What a publish checks against the release already in its output folder before it writes
// anything. Updaters that installed that release hold exactly the versions its list gives, and
// are offered a file of the new release only when its version text is newer to them; they
// refuse a signed release whose serial is lower than one they accepted before.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/report.h"

namespace tolvex::publish {

// The serial a signed publish gives its release: at least the serial of the one before it, by
// default one more than the serial of the manifest already in the output folder.
struct ReleaseSerial {
  std::uint64_t serial = 0;
  std::string warning;  // a note for the maker, or empty
};

// The serial for a release signed into a folder whose manifest (from an earlier signed publish)
// is at `manifest_path`: `requested` when it is not 0, else one more than that manifest's serial
// (a format-1 manifest counts as 0), or 1 when there is none. False with `error` when
// `requested` is lower than the published serial, or when none is requested and the manifest
// there cannot be read (no serial is guessed).
bool choose_release_serial(const std::string& manifest_path, std::uint64_t requested, ReleaseSerial& chosen,
                           std::string& error);

enum class ArchiveComparison {
  kSame,        // the archive's member holds exactly the bytes given
  kDifferent,   // it holds other bytes
  kUnreadable,  // missing, damaged or without the member: `error` says which
};

// The release already in an output folder, as a new publish into that folder compares with it:
// the version its list gives each file and whether its archive holds the same bytes as a new
// file.
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

// Before a release replaces the one already in the output folder: every file whose bytes
// changed must carry a version text the updater takes as newer than the one the published list
// gives it, or updaters that installed the published release would never be offered it. The
// updater compares version texts as byte strings (so 1,02,10,0000 is older than 1,02,9,0000).
class OfferCheck {
 public:
  // With `allow` (--allow-not-offered) the problems are warnings and publishing goes on.
  OfferCheck(Report& report, bool allow) : report_(report), allow_(allow) {}

  // Reads the release published in `folder` under `list_name`. A list that is there but cannot
  // be read is a problem of its own; the files are then not checked.
  void read_published(const std::string& folder, const std::string& list_name);

  // Checks the new release file `name` (read from `path`) with version text `version` and
  // content `bytes`.
  void check(const std::string& path, const std::string& name, const std::string& version,
             const std::vector<std::uint8_t>& bytes);

  // The problems reported as errors (none with `allow`).
  int errors() const { return errors_; }

 private:
  void problem(const std::string& text);

  Report& report_;
  bool allow_;
  bool known_ = false;  // the published release was read
  PublishedRelease published_;
  int errors_ = 0;
};

}  // namespace tolvex::publish
