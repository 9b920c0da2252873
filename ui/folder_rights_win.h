#pragma once
// The working folder's rights as Windows has them: a probe file, the files to replace, the
// process token's elevation, and a copy of the program started with the "runas" verb.
#include <windows.h>

#include "workflow/command_context.h"

namespace tolvex {

// The argument that tells a copy to run the update command as soon as its window is up: how a
// copy with administrator rights takes over from the one that asked for them.
extern const char kUpdateAtOnceArgument[];

class WindowsFolderRights : public FolderRights {
 public:
  // `window` is the dialog that closes once the elevated copy has started.
  explicit WindowsFolderRights(HWND window) : window_(window) {}

  // Creates and deletes a hidden temporary file in the current folder.
  bool working_folder_writable() override;
  // Opens the file for deletion, changing nothing.
  bool may_replace(const char* name) override;
  // The process token's elevation.
  bool elevated() override;
  // ShellExecuteEx "runas" of this program with kUpdateAtOnceArgument in the current folder; on
  // success the dialog ends (its copy then exits and the new one takes over).
  ElevatedStart start_elevated_update() override;

 private:
  HWND window_;
};

}  // namespace tolvex
