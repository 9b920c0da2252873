#include "e2e/suite_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "fixtures/fixture_paths.h"

namespace tolvex::testing {

SuiteFolder::SuiteFolder() {
  EXPECT_TRUE(CopyFileA(build_path("bin\\tolvex.exe").c_str(), updater_path().c_str(), FALSE));
  EXPECT_TRUE(CopyFileA(build_path("bin\\UNLHA32.dll").c_str(), (path() + "\\UNLHA32.dll").c_str(), FALSE));
  place("ver_1_2_3_45.dll", "vemoda.dll");
  place("ver_10_11_12_13.dll", "nuri.dll");
  place("ver_none.dll", "sef.dll");
}

std::string SuiteFolder::path() const {
  char full[MAX_PATH] = {};
  GetFullPathNameA(dir_.path().string().c_str(), MAX_PATH, full, nullptr);
  return full;
}

std::string SuiteFolder::updater_path() const { return path() + "\\tolvex.exe"; }

std::string SuiteFolder::file(const std::string& name) const { return path() + "\\" + name; }

void SuiteFolder::place(const std::string& fixture, const std::string& name) const {
  EXPECT_TRUE(CopyFileA(fixture_path(fixture).c_str(), (path() + "\\" + name).c_str(), FALSE)) << fixture;
}

// The whole vendor key goes: the dial-up options key is created volatile with its missing parents.
// So does the machine's, where copies with administrator rights record the releases they accepted.
void clear_settings() {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Halvorn");
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\Halvorn");
}

void set_updater_url(const std::string& url) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Halvorn\\R58\\tolvex\\OPTION", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "URL", 0, REG_SZ, reinterpret_cast<const BYTE*>(url.c_str()), static_cast<DWORD>(url.size() + 1));
  RegCloseKey(key);
}

}  // namespace tolvex::testing
