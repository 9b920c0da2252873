#pragma once
// The rights the update command needs to the working folder, where it downloads, extracts and
// swaps the suite's files. A suite installed in a protected folder (Program Files, under User
// Account Control) can only be updated by a copy of the updater that runs with administrator
// rights: the command asks the user, and that copy then takes this one's place.
namespace tolvex {

enum class ElevatedStart {
  kStarted,  // the copy with administrator rights runs; this copy's window is closing
  kRefused,  // the user declined the system's elevation prompt
  kFailed,   // it could not be started
};

class FolderRights {
 public:
  virtual ~FolderRights() = default;
  // True when a file can be created in the working folder now (tried, not guessed from a path).
  virtual bool working_folder_writable() = 0;
  // True when this process runs with administrator rights.
  virtual bool elevated() = 0;
  // Starts this program again with administrator rights, in the same working folder, told to
  // run the update command at once. On kStarted this copy's window is closing.
  virtual ElevatedStart start_elevated_update() = 0;
};

}  // namespace tolvex
