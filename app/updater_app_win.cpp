#include "app/updater_app_win.h"

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <string>

#include "net/signed_transfers_win.h"
#include "resources/resource_ids.h"
#include "trust/release_check.h"
#include "ui/folder_rights_win.h"
#include "ui/update_dialog_win.h"
#include "win/process_win.h"
#include "win/window_helpers_win.h"

namespace tolvex {

namespace {

// What a copy with administrator rights says when it was asked to take an update over in a
// folder other than its program's.
constexpr char kOnlyInProgramFolder[] = "アップデートは、このプログラムのあるフォルダでのみ管理者として実行できます。";

// How long a copy that takes an update over waits for the copy that started it to end.
constexpr DWORD kHandOverWaitMs = 30000;

// The window of the running copy that is to end up in front: its last active pop-up. When the
// platform recorded none (Wine may not, for a box that came up while another program had the
// focus) but the copy is disabled by a box, the top-most visible, enabled window it owns.
HWND box_in_front_of(HWND running) {
  HWND popup = GetLastActivePopup(running);
  if (popup != running && popup != nullptr) return popup;
  if (IsWindowEnabled(running)) return running;
  for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
    if (GetWindow(window, GW_OWNER) == running && IsWindowVisible(window) && IsWindowEnabled(window)) return window;
  }
  return running;
}

}  // namespace

HWND find_running_instance() {
  const std::vector<HWND> found = find_marked_windows(kUpdaterWindowMarker);
  return found.empty() ? nullptr : found.front();
}

bool UpdaterApp::start_up() {
  // A copy with administrator rights that takes an update over works only in its own program's
  // folder, where the copy that asked for the rights ran: anywhere else (a copy of the program
  // placed beside files somebody chose) it would write with those rights where it should not.
  if (update_at_once_ && process_elevated() && !working_in_program_folder()) {
    MessageBoxA(nullptr, kOnlyInProgramFolder, "アップデート", MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
    return false;
  }
  // The mutex carries the same name as the window's marker. Its handle is deliberately never
  // closed: the name lives as long as this process.
  HANDLE instance_mutex = CreateMutexA(nullptr, TRUE, kUpdaterWindowMarker);
  bool other_copy = GetLastError() == ERROR_ALREADY_EXISTS;
  if (other_copy && update_at_once_ && instance_mutex != nullptr) {
    // The copy that started this one is closing its window: take its place once it has ended
    // (its mutex is then abandoned to us).
    const DWORD waited = WaitForSingleObject(instance_mutex, kHandOverWaitMs);
    other_copy = waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED;
  }
  if (other_copy) {
    HWND running = find_running_instance();
    if (running == nullptr) return false;
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
    SetForegroundWindow(box_in_front_of(running));
    return false;
  }

  // The common controls draw in the platform's current style (see the manifest).
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // A build that carries keys installs only signed releases.
  const EmbeddedKeys embedded = embedded_update_keys(instance_);
  std::unique_ptr<SignedTransfers> signed_transfers;
  if (embedded.present) signed_transfers = std::make_unique<SignedTransfers>(embedded.keys);
  UpdateTransfers& transfers = signed_transfers ? *signed_transfers : wininet_transfers();

  UpdateDialog window(instance_, transfers, update_at_once_);
  window.run_modal();
  return false;
}

EmbeddedKeys embedded_update_keys(HINSTANCE instance) {
  EmbeddedKeys embedded;
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(IDR_UPDATE_PUBLIC_KEYS), MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (found == nullptr) return embedded;
  embedded.present = true;
  HGLOBAL loaded = LoadResource(instance, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return embedded;
  std::string error;
  (void)trust::parse_public_key_list(static_cast<const char*>(bytes), SizeofResource(instance, found), embedded.keys,
                                     error);
  return embedded;
}

}  // namespace tolvex

// The updater's entry point. Started by a user it takes no arguments and shows nothing at
// start-up by itself. One argument is its own, kUpdateAtOnceArgument, given by a copy that asked for
// administrator rights to a protected suite folder to the copy it started with them, which
// then takes over and runs the update command at once.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  tolvex::limit_library_search();
  const bool update_at_once = command_line != nullptr && std::strcmp(command_line, tolvex::kUpdateAtOnceArgument) == 0;
  tolvex::UpdaterApp app(instance, update_at_once);
  app.start_up();
  return 0;
}
