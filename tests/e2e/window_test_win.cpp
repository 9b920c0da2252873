// The main window as a user sees it, checked from another process.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "demo_driver/app_driver_win.h"
#include "e2e/suite_folder.h"
#include "resources/resource_ids.h"

namespace tolvex {
namespace {

using testing::ChildProcess;

constexpr const char kMarker[] = "tolvex2.exe";
constexpr DWORD kStartTimeout = 20000;

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::clear_settings();
    app_ = std::make_unique<ChildProcess>(suite_.updater_path(), suite_.path());
    ASSERT_TRUE(app_->started());
    window_ = testing::wait_for_marked_window(app_->id(), kMarker, kStartTimeout);
    ASSERT_NE(window_, nullptr) << "no marked window";
  }
  void TearDown() override { testing::clear_settings(); }

  HWND list() const { return GetDlgItem(window_, IDC_FILE_LIST); }

  testing::SuiteFolder suite_;
  std::unique_ptr<ChildProcess> app_;
  HWND window_ = nullptr;
};

TEST_F(MainWindow, ShowsCaptionMarkerButtonsAndAnEmptyStatusLine) {
  EXPECT_EQ(testing::window_text(window_), "Stablon２のアップデート");
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(GetPropA(window_, kMarker)), 6u);
  EXPECT_EQ(testing::control_text(window_, IDCANCEL), "終了");
  EXPECT_EQ(testing::control_text(window_, IDC_CHECK_BUTTON), "ﾊﾞｰｼﾞｮﾝﾁｪｯｸ(&C)");
  EXPECT_EQ(testing::control_text(window_, IDC_UPDATE_BUTTON), "ｱｯﾌﾟﾃﾞｰﾄ(&A)");
  EXPECT_EQ(testing::control_text(window_, IDC_STATUS_LINE), "");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_, IDC_CHECK_BUTTON)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_, IDC_UPDATE_BUTTON)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window_, IDCANCEL)));
  EXPECT_EQ(GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_APPWINDOW, WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindowLongA(window_, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
}

TEST_F(MainWindow, ListsTheTwentySixFilesWithTheirVersions) {
  ASSERT_EQ(testing::list_item_count(list()), 26);
  const char* const names[] = {
      "plo.exe",     "rasto.exe", "mepli.exe",    "gaft.exe",     "orbe.exe",     "tolvex.exe",   "vemoda.dll",
      "vemoca.dll",  "nuri.dll",  "sef.dll",      "palgon.dll",   "qe_lorma.dll", "qe_pinta.dll", "hobrave.dll",
      "dulam.dll",   "wirto.dll", "zevo.dll",     "orbi.dll",     "fule.dll",     "carnesa.dll",  "bimoral.dll",
      "temasid.dll", "yosk.dll",  "hexaloun.dll", "hexalou2.dll", "rova.chm"};
  for (int i = 0; i < 26; ++i) {
    EXPECT_EQ(testing::list_item_text(list(), i, 0), names[i]) << i;
    EXPECT_EQ(testing::list_item_text(list(), i, 2), "") << i;
  }
  EXPECT_EQ(testing::list_item_text(list(), 5, 1), "2,00,2209,1800");  // the updater itself
  EXPECT_EQ(testing::list_item_text(list(), 6, 1), "1,02,3,0045");
  EXPECT_EQ(testing::list_item_text(list(), 8, 1), "10,11,12,0013");
  EXPECT_EQ(testing::list_item_text(list(), 9, 1), "-");   // no version information
  EXPECT_EQ(testing::list_item_text(list(), 0, 1), "-");   // missing
  EXPECT_EQ(testing::list_item_text(list(), 25, 1), "-");  // help file missing
}

TEST_F(MainWindow, ThreeEqualColumnsLeaveRoomForAScrollBar) {
  // The widths were computed while the list was empty; 26 rows have since brought the vertical
  // scroll bar, which now takes its room out of the client area.
  ASSERT_TRUE(GetWindowLongA(list(), GWL_STYLE) & WS_VSCROLL);
  RECT client = {};
  GetClientRect(list(), &client);
  const int expected = (client.right - client.left) / 3;
  for (int column = 0; column < 3; ++column)
    EXPECT_EQ(SendMessageA(list(), LVM_GETCOLUMNWIDTH, column, 0), expected) << column;
  EXPECT_EQ(SendMessageA(list(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

TEST_F(MainWindow, SystemMenuOpensTheAboutBox) {
  for (WPARAM command : {WPARAM{0x0010}, WPARAM{0x001F}}) {
    PostMessageA(window_, WM_SYSCOMMAND, command, 0);
    HWND about = testing::wait_for_window_with_caption(app_->id(), "tolvexのﾊﾞｰｼﾞｮﾝ情報", 10000);
    ASSERT_NE(about, nullptr) << command;
    EXPECT_EQ(GetWindow(about, GW_OWNER), window_);
    testing::click_button(about, IDOK);
    EXPECT_TRUE(testing::wait_until([&] { return !IsWindow(about); }, 10000));
  }
}

TEST_F(MainWindow, ButtonTwoClosesTheWindowAndRemovesTheMarker) {
  testing::click_button(window_, IDCANCEL);
  EXPECT_TRUE(app_->wait_for_exit(10000));
  EXPECT_TRUE(find_marked_windows(kMarker).empty());
}

TEST_F(MainWindow, CloseBoxActsLikeButtonTwo) {
  PostMessageA(window_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(app_->wait_for_exit(10000));
  EXPECT_TRUE(find_marked_windows(kMarker).empty());
}

TEST_F(MainWindow, EscapeActsLikeButtonTwo) {
  // Button 2 has the focus when the window opens; the dialog turns Escape into its command.
  PostMessageA(GetDlgItem(window_, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(app_->wait_for_exit(10000));
}

TEST_F(MainWindow, CreatesTheDialUpOptionKeyVolatileAndWritesNoValue) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Halvorn\\R58\\rasto\\Option", 0, KEY_ALL_ACCESS, &key),
            ERROR_SUCCESS);
  DWORD values = 99;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                   nullptr);
  EXPECT_EQ(values, 0u);
  // Only a volatile key refuses a lasting sub-key.
  HKEY child = nullptr;
  EXPECT_EQ(
      RegCreateKeyExA(key, "probe", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &child, nullptr),
      ERROR_CHILD_MUST_BE_VOLATILE);
  if (child != nullptr) RegCloseKey(child);
  RegCloseKey(key);
}

}  // namespace
}  // namespace tolvex
