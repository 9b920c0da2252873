#pragma once
// Keeps a downloaded archive exactly as it was checked while the archive library reads it, so
// that nothing else can change or replace it between the check and the extraction.
namespace tolvex {

class ArchiveGuard {
 public:
  virtual ~ArchiveGuard() = default;
  // Called right before `archive_name` (in the current directory) is extracted. True when it is
  // still the archive that was checked; it then stays so until release(). False when it is not
  // (or cannot be read): it must not be extracted.
  [[nodiscard]] virtual bool hold(const char* archive_name) = 0;
  // Called once the extraction has ended, before the archive is deleted.
  virtual void release() = 0;
};

}  // namespace tolvex
