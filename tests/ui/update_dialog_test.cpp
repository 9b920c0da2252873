// The main window opened in the test's own process: what only the owning process can see.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "resources/resource_ids.h"
#include "support/temp_dir.h"
#include "ui/main_window_handle.h"
#include "ui/open_window.h"
#include "ui/update_dialog.h"

namespace tolvex {
namespace {

TEST(UpdateDialogInProcess, SystemMenuCarriesTheAboutItemBelowASeparator) {
  testing::ScopedWorkDir dir;
  std::string item;
  UINT item_id = 0;
  UINT separator_state = 0;
  testing::with_open_window([&](HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    const int count = GetMenuItemCount(menu);
    char text[256] = {};
    GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    item = text;
    item_id = GetMenuItemID(menu, count - 1);
    separator_state = GetMenuState(menu, count - 2, MF_BYPOSITION);
  });
  EXPECT_EQ(item, "tolvex のﾊﾞｰｼﾞｮﾝ情報(&A)...");
  EXPECT_EQ(item_id, static_cast<UINT>(IDM_ABOUT));
  EXPECT_TRUE(separator_state & MF_SEPARATOR);
}

TEST(UpdateDialogInProcess, CarriesItsIconBigAndSmallAndTheMarkerWhileOpen) {
  testing::ScopedWorkDir dir;
  HICON big = nullptr, small_icon = nullptr, drag = nullptr;
  HANDLE marker = nullptr;
  HWND seen = nullptr;
  testing::with_open_window([&](HWND window) {
    seen = window;
    big = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    small_icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
    drag = reinterpret_cast<HICON>(SendMessageA(window, WM_QUERYDRAGICON, 0, 0));
    marker = GetPropA(window, kUpdaterWindowMarker);
  });
  EXPECT_NE(big, nullptr);
  EXPECT_EQ(big, small_icon);
  EXPECT_EQ(big, drag);
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(marker), kUpdaterWindowMarkerValue);
  EXPECT_EQ(main_window_handle(), seen);  // stored, never cleared
}

}  // namespace
}  // namespace tolvex
