#pragma once
// Hears how the installation of each flagged file ended, and which closed program could not be
// started again, for the command log.
#include <cstdint>

namespace tolvex {

// How one flagged file's installation ended.
enum class InstallOutcome : std::int32_t {
  kReplaced = 0,        // the new file stands under the file's name
  kStaged = 1,          // the updater's own file, staged as "tolvex.___" to replace itself later
  kArchiveChanged = 2,  // the archive was not the one checked after its download: not extracted
  kOldFileKept = 3,     // the old file could not be moved aside: it stays, the new one is dropped
  kNewFileMissing = 4,  // no new file could be put under the name (none extracted, or held)
};

class InstallObserver {
 public:
  virtual ~InstallObserver() = default;
  // `name` is the managed file's name; `system_error` the system's error code of the step that
  // failed (0 when none); `backup_restored` tells that the old file was put back from its backup.
  virtual void file_installed(const char* name, InstallOutcome outcome, std::uint32_t system_error,
                              bool backup_restored) = 0;
  // The sibling program `program` (its file name) was closed for the installation, and this copy,
  // which has administrator rights, could not start it again with the rights it ran with (they
  // were not kept, or the start with them failed). It stays closed.
  virtual void program_left_closed(const char* program) = 0;
};

}  // namespace tolvex
