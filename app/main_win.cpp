// The updater's entry point. Started by a user it takes no arguments and shows nothing at
// start-up by itself. One argument is its own: "/update", given by a copy that asked for
// administrator rights to a protected suite folder to the copy it started with them, which
// then takes over and runs the update command at once.
#include <windows.h>

#include <cstring>

#include "app/updater_app.h"
#include "ui/folder_rights_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  const bool update_at_once = command_line != nullptr && std::strcmp(command_line, tolvex::kUpdateAtOnceArgument) == 0;
  tolvex::UpdaterApp app(instance, update_at_once);
  app.start_up();
  return 0;
}
