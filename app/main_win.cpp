// The updater's entry point. It takes no arguments and shows nothing at start-up by itself.
#include <windows.h>

#include "app/updater_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tolvex::UpdaterApp app(instance);
  app.start_up();
  return 0;
}
