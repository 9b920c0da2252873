#pragma once
// What the two commands work with: the window's state and surfaces, the dial-up link, the
// transfers and the progress callback handed to them, the message boxes, the waits around the
// sibling programs, the installation step, the command log and the rights to the working folder.
#include <cstdint>
#include <functional>

#include "base/waiter.h"
#include "base/window_surfaces.h"
#include "catalogue/managed_file_table.h"
#include "catalogue/update_list.h"
#include "install/install_observer.h"
#include "install/sibling_programs.h"
#include "net/dial_up_link.h"
#include "net/update_transfers.h"
#include "settings/settings.h"
#include "workflow/command_log.h"
#include "workflow/message_boxes.h"

namespace tolvex {

// What the main window keeps for the program's whole run, shared by its two commands.
struct UpdateWindowState {
  ConnectionOptions Connection;
  std::int32_t ListFetched = 0;  // 1 once a list fetch succeeded in this run
  std::int32_t Busy = 0;         // 1 only while archives download
  std::int32_t DialledByUs = 0;  // 1 when this command's connect step dialled
  std::int32_t WasRunning[kSiblingCount] = {};
  ManagedFileTable Table;
  UpdateListRows List;
};

// Everything a command does to the main window: its list, status line and progress bar, its
// three buttons, and the owner of the message boxes.
class CommandWindow : public CatalogueView {
 public:
  // Enables or disables IDC_CHECK_BUTTON and IDC_UPDATE_BUTTON together, and IDCANCEL, and
  // labels IDCANCEL.
  virtual void set_buttons(bool enable_commands, bool enable_cancel, const char* cancel_label) = 0;
  // The window that owns message boxes (may be null in tests).
  virtual NativeWindow owner() const = 0;
};

// The rights the update command needs to the working folder, where it downloads, extracts and
// swaps the suite's files. A suite installed in a protected folder (Program Files, under User
// Account Control) can only be updated by a copy of the updater that runs with administrator
// rights: the command asks the user, and that copy then takes this one's place.
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
  // False when the file `name` of the working folder exists and may not be moved or deleted by
  // this process (tried, changing nothing).
  virtual bool may_replace(const char* name) = 0;
  // True when this process runs with administrator rights.
  virtual bool elevated() = 0;
  // Starts this program again with administrator rights, in the same working folder, told to
  // run the update command at once. On kStarted this copy's window is closing.
  virtual ElevatedStart start_elevated_update() = 0;
};

// Installs the downloaded archives of the flagged rows (install_updates in the program): 1 when
// every flagged file was replaced.
// Each archive is held by `guard` (when not null) while it is extracted; `observer` hears how
// each file's installation ended.
using InstallStep =
    std::function<int(ManagedFileTable& table, std::int32_t (&was_running)[kSiblingCount], CatalogueView& view,
                      NativeWindow owner, Waiter& waiter, ArchiveGuard* guard, InstallObserver* observer)>;

struct CommandContext {
  UpdateWindowState& state;
  CommandWindow& window;
  DialUpLink& link;
  UpdateTransfers& transfers;
  ProgressCallback progress;
  MessageBoxes& boxes;
  Waiter& waiter;
  InstallStep install;
  CommandLog& log;
  // The rights to the working folder, asked before the update command downloads anything; null
  // takes the folder as writable.
  FolderRights* rights = nullptr;
};

}  // namespace tolvex
