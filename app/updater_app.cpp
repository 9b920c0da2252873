#include "app/updater_app.h"

#include <commctrl.h>

#include "app/settings.h"
#include "ui/update_dialog.h"

namespace tolvex {

const char kInstanceMutexName[] = "tolvex2.exe";

HWND find_running_instance() {
  for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
       window = GetWindow(window, GW_HWNDNEXT)) {
    if (GetPropA(window, kUpdaterWindowMarker) != nullptr) return window;
  }
  return nullptr;
}

bool UpdaterApp::start_up() {
  // The handle is deliberately never closed: the name lives as long as this process.
  CreateMutexA(nullptr, TRUE, kInstanceMutexName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    HWND running = find_running_instance();
    if (running == nullptr) return false;
    if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
    SetForegroundWindow(running);
    SetForegroundWindow(GetLastActivePopup(running));
    return false;
  }

  // The common controls draw in the platform's current style (see the manifest).
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  registry_root_ = kRegistryRoot;

  UpdateDialog window(instance_);
  window.run_modal();
  return false;
}

}  // namespace tolvex
