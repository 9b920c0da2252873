#pragma once
// A folder holding a stand-in installed suite and the updater, for end-to-end tests.
#include <string>

#include "support/temp_dir.h"

namespace tolvex::testing {

class SuiteFolder {
 public:
  // Copies tolvex.exe and UNLHA32.dll into a fresh folder and puts stand-ins for some managed files beside it:
  // vemoda.dll 1,02,3,0045, nuri.dll 10,11,12,0013, sef.dll without version information.
  SuiteFolder();

  std::string path() const;                         // Windows path of the folder
  std::string updater_path() const;                 // its tolvex.exe
  std::string file(const std::string& name) const;  // the full path of `name` in the folder
  // Copies fixture `fixture` into the folder under `name`.
  void place(const std::string& fixture, const std::string& name) const;

 private:
  ScopedWorkDir dir_;
};

// Removes HKCU\Software\Halvorn\R58 with everything below it, and the machine's record of
// accepted releases (HKLM): every test starts without settings.
void clear_settings();

// Points the updater (tolvex.exe) at `url` through its "URL" setting.
void set_updater_url(const std::string& url);

}  // namespace tolvex::testing
