#pragma once
// Puts the updater's "URL" (and optionally "name") settings into the running program's own
// profile, HKCU\Software\Halvorn\R58\<exe base name>\OPTION, and removes that key again when it
// goes away, so every test starts from the defaults.
#include <string>

namespace tolvex::testing {

class ScopedUpdateSettings {
 public:
  explicit ScopedUpdateSettings(const std::string& url);
  ScopedUpdateSettings(const std::string& url, const std::string& list_name);
  ~ScopedUpdateSettings();
  ScopedUpdateSettings(const ScopedUpdateSettings&) = delete;
  ScopedUpdateSettings& operator=(const ScopedUpdateSettings&) = delete;

  void set(const char* value_name, const std::string& text);

 private:
  std::string key_path_;
};

}  // namespace tolvex::testing
