#include "support/scoped_update_settings.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace tolvex::testing {
namespace {

// The program's base name, found here independently of the code under test.
std::string running_program_base_name() {
  char module[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string base = module;
  const std::string::size_type slash = base.find_last_of("\\/");
  if (slash != std::string::npos) base.erase(0, slash + 1);
  const std::string::size_type dot = base.rfind('.');
  if (dot != std::string::npos) base.erase(dot);
  return base;
}

}  // namespace

ScopedUpdateSettings::ScopedUpdateSettings(const std::string& url)
    : key_path_("Software\\Halvorn\\R58\\" + running_program_base_name() + "\\OPTION") {
  RegDeleteKeyA(HKEY_CURRENT_USER, key_path_.c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_path_.c_str());  // the machine's record of accepted releases
  set("URL", url);
}

ScopedUpdateSettings::ScopedUpdateSettings(const std::string& url, const std::string& list_name)
    : ScopedUpdateSettings(url) {
  set("name", list_name);
}

ScopedUpdateSettings::~ScopedUpdateSettings() {
  RegDeleteKeyA(HKEY_CURRENT_USER, key_path_.c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_path_.c_str());
}

void ScopedUpdateSettings::set(const char* value_name, const std::string& text) {
  HKEY key = nullptr;
  LONG created =
      RegCreateKeyExA(HKEY_CURRENT_USER, key_path_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
  // The program creates its dial-up option key as a volatile one when it is missing, and with
  // it any missing parent such as Software\Halvorn; under a volatile parent only volatile keys
  // can be made.
  if (created == ERROR_CHILD_MUST_BE_VOLATILE) {
    created = RegCreateKeyExA(HKEY_CURRENT_USER, key_path_.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE, nullptr,
                              &key, nullptr);
  }
  if (created != ERROR_SUCCESS) {
    ADD_FAILURE() << "cannot create HKCU\\" << key_path_ << " (error " << created << ")";
    return;
  }
  RegSetValueExA(key, value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size() + 1));
  RegCloseKey(key);
}

}  // namespace tolvex::testing
