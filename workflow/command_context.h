#pragma once
// What the two commands work with: the window's state and surfaces, the dial-up link, the
// transfers and the progress callback handed to them, the message boxes, the waits around the
// sibling programs, the installation step and the command log.
#include <functional>

#include "base/window_surfaces.h"
#include "base/waiter.h"
#include "install/install_observer.h"
#include "net/dial_up_link.h"
#include "net/update_transfers.h"
#include "workflow/command_log.h"
#include "workflow/command_window.h"
#include "workflow/folder_rights.h"
#include "workflow/message_boxes.h"
#include "workflow/window_state.h"

namespace tolvex {

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
