#include "ui/update_dialog.h"

#include <commctrl.h>

#include "base/abort_request.h"
#include "catalogue/file_table_fill.h"
#include "catalogue/file_version_reader.h"
#include "install/install_updates.h"
#include "net/update_transfers.h"
#include "resources/resource_ids.h"
#include "ui/about_dialog.h"
#include "ui/main_window_handle.h"
#include "ui/main_window_surface.h"
#include "ui/progress.h"
#include "win/window_helpers.h"
#include "workflow/update_command.h"
#include "workflow/version_check_command.h"

namespace tolvex {

const char kUpdaterWindowMarker[] = "tolvex2.exe";

UpdateDialog::UpdateDialog(HINSTANCE instance, UpdateTransfers& transfers)
    : instance_(instance), transfers_(transfers), icon_(LoadIconA(instance, MAKEINTRESOURCEA(IDI_TOLVEX))) {}

UpdateDialog::~UpdateDialog() = default;  // a shared resource icon needs no DestroyIcon

INT_PTR UpdateDialog::run_modal() {
  return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_UPDATE), nullptr, dialog_proc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK UpdateDialog::dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  UpdateDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<UpdateDialog*>(lparam);
    SetWindowLongPtrA(window, DWLP_USER, lparam);
    self->window_ = window;
  } else {
    self = reinterpret_cast<UpdateDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  }
  return self != nullptr ? self->handle_message(message, wparam, lparam) : FALSE;
}

INT_PTR UpdateDialog::handle_message(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return init_window();
    case WM_SYSCOMMAND:
      return on_system_command(wparam);
    case WM_PAINT:
      return on_paint();
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    case WM_DESTROY:
      on_destroy();
      return FALSE;
    case WM_COMMAND:
      on_command(LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    default:
      return FALSE;
  }
}

BOOL UpdateDialog::init_window() {
  centre_window(window_, nullptr);
  set_up_system_menu();
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  read_connection_options(state_.Connection);
  set_up_file_list();
  // A swap cut short by a crash may have left a file only under its backup name: put it back
  // before the versions are read.
  recover_interrupted_swaps();
  MainWindowSurface surface(window_);
  fill_file_table(state_.Table, surface, read_file_version);
  set_main_window_handle(window_);
  state_.Busy = 0;
  state_.ListFetched = 0;
  SetPropA(window_, kUpdaterWindowMarker, reinterpret_cast<HANDLE>(kUpdaterWindowMarkerValue));
  return TRUE;  // the focus goes to the first tab stop, button 2
}

void UpdateDialog::set_up_system_menu() {
  HMENU menu = GetSystemMenu(window_, FALSE);
  if (menu == nullptr) return;
  char text[256] = {};
  if (LoadStringA(instance_, IDS_ABOUT_MENU_ITEM, text, sizeof text) <= 0 || text[0] == '\0') return;
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, IDM_ABOUT, text);
}

// Three centred columns of equal width that leave room for a vertical scroll bar.
void UpdateDialog::set_up_file_list() {
  HWND list = GetDlgItem(window_, IDC_FILE_LIST);
  RECT client = {};
  GetClientRect(list, &client);
  const int width = ((client.right - client.left) - GetSystemMetrics(SM_CXVSCROLL)) / 3;
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  const char* const titles[] = {"ファイル名", "現Version", "最新Version"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_CENTER;
    column.cx = width;
    column.pszText = const_cast<char*>(titles[i]);
    column.iSubItem = i;
    SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
}

bool UpdateDialog::on_system_command(WPARAM command) {
  if ((command & 0xFFF0) != IDM_ABOUT) return false;  // the platform handles the rest
  AboutDialog(instance_, window_).run_modal();
  return true;
}

// Minimised, the window shows its icon centred in the client area.
bool UpdateDialog::on_paint() {
  if (!IsIconic(window_)) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  const int icon_width = GetSystemMetrics(SM_CXICON);
  const int icon_height = GetSystemMetrics(SM_CYICON);
  RECT client = {};
  GetClientRect(window_, &client);
  DrawIcon(dc, (client.right - client.left - icon_width + 1) / 2, (client.bottom - client.top - icon_height + 1) / 2,
           icon_);
  EndPaint(window_, &paint);
  return true;
}

void UpdateDialog::on_destroy() { RemovePropA(window_, kUpdaterWindowMarker); }

void UpdateDialog::on_command(WORD id, WORD notification) {
  switch (id) {
    case IDCANCEL:
      on_cancel();
      break;
    case IDOK:
      EndDialog(window_, IDOK);
      break;
    case IDC_CHECK_BUTTON:
      if (notification == BN_CLICKED) on_version_check();
      break;
    case IDC_UPDATE_BUTTON:
      if (notification == BN_CLICKED) on_update();
      break;
    default:
      break;
  }
}

// While archives are downloading, Cancel (button 2, Escape, the close box) asks for an abort,
// which the next progress report confirms. While another step of a command runs (button 2 is
// disabled then, but Escape and the close box still arrive) it is ignored: closing the window
// in the middle of a command would cut the command short. Otherwise it closes the window.
void UpdateDialog::on_cancel() {
  if (state_.Busy != 0) {
    set_abort_requested(true);
    return;
  }
  if (command_running_) return;
  EndDialog(window_, IDCANCEL);
}

void UpdateDialog::on_version_check() { run_command(run_version_check); }

void UpdateDialog::on_update() { run_command(run_update); }

// One command at a time, over the window's real surfaces and the system's services.
void UpdateDialog::run_command(void (*command)(CommandContext&)) {
  if (command_running_) return;
  command_running_ = true;
  MainWindowSurface surface(window_);
  CommandContext context{state_,          surface,         dial_up_link(), transfers_, progress_callback,
                         message_boxes(), system_waiter(), install_updates};
  command(context);
  command_running_ = false;
}

}  // namespace tolvex
