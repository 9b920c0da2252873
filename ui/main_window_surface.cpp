#include "ui/main_window_surface.h"

#include <commctrl.h>

#include "resources/resource_ids.h"

namespace tolvex {

HWND MainWindowSurface::list() const { return GetDlgItem(dialog_, IDC_FILE_LIST); }

void MainWindowSurface::clear_rows() { SendMessageA(list(), LVM_DELETEALLITEMS, 0, 0); }

void MainWindowSurface::insert_row(int index, const char* name, const char* version) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<char*>(name);
  SendMessageA(list(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  set_cell(index, 1, version);
}

void MainWindowSurface::set_latest_version(int index, const char* version) { set_cell(index, 2, version); }

void MainWindowSurface::set_cell(int index, int column, const char* text) {
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text);
  SendMessageA(list(), LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void MainWindowSurface::show_status(const char* text) { SetDlgItemTextA(dialog_, IDC_STATUS_LINE, text); }

void MainWindowSurface::reset_progress() {
  HWND bar = GetDlgItem(dialog_, IDC_PROGRESS_BAR);
  LRESULT position = SendMessageA(bar, PBM_GETPOS, 0, 0);
  SendMessageA(bar, PBM_DELTAPOS, static_cast<WPARAM>(-static_cast<int>(position)), 0);
}

void MainWindowSurface::set_buttons(bool enable_commands, bool enable_cancel, const char* cancel_label) {
  EnableWindow(GetDlgItem(dialog_, IDC_CHECK_BUTTON), enable_commands);
  EnableWindow(GetDlgItem(dialog_, IDC_UPDATE_BUTTON), enable_commands);
  EnableWindow(GetDlgItem(dialog_, IDCANCEL), enable_cancel);
  SetDlgItemTextA(dialog_, IDCANCEL, cancel_label);
}

}  // namespace tolvex
