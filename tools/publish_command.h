#pragma once
// publish: from a folder of release files, write the update list and one archive per file into
// the output folder, in exactly the form the updater reads.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "tools/file_version_text.h"
#include "tools/report.h"

namespace tolvex::publish {

struct PublishOptions {
  std::string release_folder;
  std::string output_folder;
  std::string list_name = "update.txt";
  bool skip_unusable = false;      // leave out unusable files (with a warning) instead of stopping
  TimeZoneSetting zone;            // for the help file's date form
  std::string signing_key;         // a private key file: also write the signed manifest; empty: none
  std::uint64_t serial = 0;        // the signed release's serial; 0: one more than the published one's
  int expires_in_days = 0;         // the signed release expires this many days from now; 0: never
  bool allow_not_offered = false;  // publish changed files whose version is not newer (with a warning)
};

// Returns the exit code: 0 published, 1 nothing written (problems on `report`). A summary of
// what was published goes to `out`. With a signing key the manifest "<list name>.sig" is written
// with the list and the archives, all or nothing. Only regular files are read from the release
// folder, one at a time, so memory grows with the largest file, not with the release. A file
// whose bytes changed since the release already in the output folder must have a version text
// the updater takes as newer (see OfferCheck).
int run_publish(const PublishOptions& options, Report& report, Progress& progress, std::ostream& out);

// Writes a set of files into the output folder all or nothing. Each file is first written under
// a temporary name beside its final one; commit() then moves the files into place (the update
// list last, so a server never offers a list whose archives are not there yet). If anything
// fails, or commit() is never reached, everything this writer wrote is removed again, files it
// replaced are put back, and a folder it created is removed.
//
// Nothing is ever written through a link: a temporary file is created only where no entry of
// its name exists (a stale one, file or link, is removed first: a link as itself, never its
// target), and an old file or link is moved aside and back by name.
class OutputFolderWriter {
 public:
  explicit OutputFolderWriter(std::string folder) : folder_(std::move(folder)) {}
  ~OutputFolderWriter() { roll_back(); }
  OutputFolderWriter(const OutputFolderWriter&) = delete;
  OutputFolderWriter& operator=(const OutputFolderWriter&) = delete;

  // Creates the folder when it does not exist. False with `error` when that fails.
  bool open(std::string& error);
  // Writes `bytes` under a temporary name for the final name `name` (a bare file name).
  bool stage(const std::string& name, const std::vector<std::uint8_t>& bytes, std::string& error);
  // Moves every staged file into place, in staging order. False with `error` after a failure,
  // with the folder as it was before.
  bool commit(std::string& error);

  static constexpr const char* kTemporarySuffix = ".publishing";
  static constexpr const char* kPreviousSuffix = ".previous";

 private:
  struct Staged {
    std::string name;
    bool created = false;       // its temporary file was created by this writer
    bool moved = false;         // now under its final name
    bool had_previous = false;  // an older file of that name waits under kPreviousSuffix
  };
  std::string final_path(const Staged& file) const;
  std::string temporary_path(const Staged& file) const;
  std::string previous_path(const Staged& file) const;
  void roll_back();

  std::string folder_;
  bool created_folder_ = false;
  bool committed_ = false;
  std::vector<Staged> staged_;
};

}  // namespace tolvex::publish
