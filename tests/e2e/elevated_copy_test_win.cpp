// What a copy of the updater that may run with administrator rights (under Wine every process
// does) takes from folders a user controls: no planted system DLL, and no update taken over in a
// folder other than its program's.
#include <gtest/gtest.h>

#include <windows.h>

#include <initializer_list>
#include <string>

#include "demo_driver/app_driver_win.h"
#include "e2e/suite_folder.h"
#include "resources/resource_ids.h"
#include "win/process_win.h"

namespace tolvex {
namespace {

using testing::ChildProcess;

constexpr const char kMarker[] = "tolvex2.exe";

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// While it lives, Wine loads the named DLLs for `program` from where the search finds them first,
// as Windows does, rather than its own built-in ones.
class WineSearchesLikeWindows {
 public:
  WineSearchesLikeWindows(const std::string& program, std::initializer_list<const char*> dlls)
      : key_("Software\\Wine\\AppDefaults\\" + program) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (key_ + "\\DllOverrides").c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const char* dll : dlls)
      RegSetValueExA(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
    RegCloseKey(key);
  }
  ~WineSearchesLikeWindows() { RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str()); }
  WineSearchesLikeWindows(const WineSearchesLikeWindows&) = delete;
  WineSearchesLikeWindows& operator=(const WineSearchesLikeWindows&) = delete;

 private:
  std::string key_;
};

TEST(ElevatedCopy, NeverLoadsSystemDllsPlantedBesideItOrInItsWorkingFolder) {
  testing::clear_settings();
  testing::SuiteFolder suite;
  // WinInet is loaded by the updater alone, at the version check. (Wine's own start-up DLLs
  // import VERSION.dll, so a planted copy of that one is not the updater's doing under Wine; the
  // import table check keeps the updater from importing it at start-up.)
  for (const char* name : {"wininet.dll", "bcrypt.dll"}) suite.place("planted_dll.dll", name);
  testing::set_updater_url("http://127.0.0.1:9/");  // nothing listens: the check fails at once
  // Wine takes its own DLLs before ones found beside a program unless told otherwise; Windows
  // searches the program's folder first. Tell Wine to search as Windows does, for tolvex.exe only
  // (Windows reads no such key).
  WineSearchesLikeWindows native_first("tolvex.exe", {"wininet", "bcrypt"});
  ChildProcess app(suite.updater_path(), suite.path());
  HWND window = testing::wait_for_marked_window(app.id(), kMarker, 20000);
  ASSERT_NE(window, nullptr) << (exists(suite.file("planted-dll-loaded.txt")) ? "a planted DLL was loaded" : "");
  testing::click_button(window, IDC_CHECK_BUTTON);
  EXPECT_TRUE(testing::wait_until([&] { return !testing::control_text(window, IDC_STATUS_LINE).empty(); }, 20000));
  EXPECT_FALSE(exists(suite.file("planted-dll-loaded.txt")));
  testing::clear_settings();
}

TEST(ElevatedCopy, TakingAnUpdateOverOutsideItsProgramFolderStopsWithABox) {
  if (!process_elevated()) GTEST_SKIP() << "only a copy with administrator rights refuses";
  testing::clear_settings();
  testing::SuiteFolder suite;
  const std::string elsewhere = suite.file("elsewhere");
  ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
  ChildProcess copy(suite.updater_path(), elsewhere, "/update");
  HWND box = testing::wait_for_window_with_caption(copy.id(), "アップデート", 20000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(testing::message_box_text(box),
            "アップデートは、このプログラムのあるフォルダでのみ管理者として実行できます。");
  EXPECT_TRUE(testing::find_marked_windows(kMarker).empty());  // no window, no update
  testing::click_button(box, IDOK);
  EXPECT_TRUE(copy.wait_for_exit(10000));
}

}  // namespace
}  // namespace tolvex
