// The main window opened in the test's own process: what only the owning process can see.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "resources/resource_ids.h"
#include "support/temp_dir.h"
#include "ui/open_window_win.h"
#include "ui/update_dialog_win.h"
#include "win/window_helpers_win.h"

namespace tolvex {
namespace {

// Width and height in pixels of an icon's image.
SIZE icon_size(HICON icon) {
  ICONINFO info = {};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bitmap = {};
  GetObjectA(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  return {bitmap.bmWidth, info.hbmColor != nullptr ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

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
  SIZE big_size = {}, small_size = {};
  UINT dpi = 0;
  HANDLE marker = nullptr;
  HWND seen = nullptr;
  testing::with_open_window([&](HWND window) {
    seen = window;
    dpi = window_dpi(window);
    big = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    small_icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
    drag = reinterpret_cast<HICON>(SendMessageA(window, WM_QUERYDRAGICON, 0, 0));
    big_size = icon_size(big);
    small_size = icon_size(small_icon);
    marker = GetPropA(window, kUpdaterWindowMarker);
  });
  EXPECT_NE(big, nullptr);
  EXPECT_NE(small_icon, nullptr);
  EXPECT_EQ(big, drag);
  // Each drawn from the resource's image of its own size at the window's DPI, not stretched.
  EXPECT_EQ(big_size.cx, system_metric_for_dpi(SM_CXICON, dpi));
  EXPECT_EQ(big_size.cy, system_metric_for_dpi(SM_CYICON, dpi));
  EXPECT_EQ(small_size.cx, system_metric_for_dpi(SM_CXSMICON, dpi));
  EXPECT_EQ(small_size.cy, system_metric_for_dpi(SM_CYSMICON, dpi));
  EXPECT_EQ(reinterpret_cast<UINT_PTR>(marker), kUpdaterWindowMarkerValue);
  EXPECT_EQ(main_window_handle(), seen);  // stored, never cleared
}

// Moved to a screen at 1.5 times its DPI, the window takes the suggested rectangle, its
// columns keep their proportions at the new scale and its icons are reloaded at the new sizes.
TEST(UpdateDialogInProcess, FollowsADpiChangeInSizeColumnsAndIcons) {
  testing::ScopedWorkDir dir;
  UINT dpi = 0;
  int before[3] = {}, after[3] = {};
  RECT suggested = {}, placed = {};
  SIZE big_size = {}, small_size = {};
  testing::with_open_window([&](HWND window) {
    dpi = window_dpi(window);
    HWND list = GetDlgItem(window, IDC_FILE_LIST);
    for (int column = 0; column < 3; ++column)
      before[column] = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    RECT now = {};
    GetWindowRect(window, &now);
    const UINT new_dpi = dpi * 3 / 2;
    suggested = {now.left + 10, now.top + 5, now.left + 10 + MulDiv(now.right - now.left, 3, 2),
                 now.top + 5 + MulDiv(now.bottom - now.top, 3, 2)};
    SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(new_dpi, new_dpi), reinterpret_cast<LPARAM>(&suggested));
    GetWindowRect(window, &placed);
    for (int column = 0; column < 3; ++column)
      after[column] = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    big_size = icon_size(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0)));
    small_size = icon_size(reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0)));
  });
  ASSERT_GT(dpi, 0u);
  const UINT new_dpi = dpi * 3 / 2;
  EXPECT_EQ(placed.left, suggested.left);
  EXPECT_EQ(placed.top, suggested.top);
  EXPECT_EQ(placed.right, suggested.right);
  EXPECT_EQ(placed.bottom, suggested.bottom);
  for (int column = 0; column < 3; ++column) {
    EXPECT_GT(before[column], 0) << column;
    EXPECT_EQ(after[column], MulDiv(before[column], new_dpi, dpi)) << column;
  }
  EXPECT_EQ(big_size.cx, system_metric_for_dpi(SM_CXICON, new_dpi));
  EXPECT_EQ(small_size.cx, system_metric_for_dpi(SM_CXSMICON, new_dpi));
}

// The program's manifest (linked into this test program too) asks for per-monitor v2 awareness
// with the older forms as fallbacks, and the platform reads it: the process is per-monitor aware.
TEST(ProgramManifest, DeclaresPerMonitorDpiAwarenessBesideItsOtherSettings) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(self, found)));
  ASSERT_NE(bytes, nullptr);
  const std::string text(bytes, SizeofResource(self, found));
  EXPECT_NE(text.find(">PerMonitorV2,PerMonitor</dpiAwareness>"), std::string::npos);
  EXPECT_NE(text.find("\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\""), std::string::npos);
  EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos);
  EXPECT_NE(text.find("\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\""), std::string::npos);
  EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);

  using GetContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)();
  using AwarenessFn = DPI_AWARENESS(WINAPI*)(DPI_AWARENESS_CONTEXT);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  const auto context =
      reinterpret_cast<GetContextFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
  const auto awareness = reinterpret_cast<AwarenessFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
  ASSERT_NE(context, nullptr);
  ASSERT_NE(awareness, nullptr);
  EXPECT_EQ(awareness(context()), DPI_AWARENESS_PER_MONITOR_AWARE);
}

}  // namespace
}  // namespace tolvex
