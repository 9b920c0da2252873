#include "ui/update_dialog_win.h"

#include <commctrl.h>

#include "base/errors.h"
#include "catalogue/managed_file_table.h"
#include "catalogue/version_text.h"
#include "install/install_updates.h"
#include "net/update_transfers.h"
#include "resources/resource_ids.h"
#include "ui/folder_rights_win.h"
#include "ui/progress.h"
#include "win/process_win.h"
#include "win/window_helpers_win.h"
#include "workflow/command_log.h"
#include "workflow/commands.h"

namespace tolvex {

const char kUpdaterWindowMarker[] = "tolvex2.exe";

namespace {

// The about box (dialog IDD_ABOUT): no state of its own; its only button closes it.
class AboutDialog {
 public:
  AboutDialog(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}
  // Shows the box modally over the owner, centred on it.
  INT_PTR run_modal();

 private:
  static INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HINSTANCE instance_;
  HWND owner_;
};

INT_PTR AboutDialog::run_modal() {
  return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_ABOUT), owner_, dialog_proc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK AboutDialog::dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      centre_window(window, GetWindow(window, GW_OWNER));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(window, LOWORD(wparam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

HWND g_main_window = nullptr;  // process-wide, user-interface thread only

}  // namespace

HWND main_window_handle() { return g_main_window; }

void set_main_window_handle(HWND window) { g_main_window = window; }

UpdateDialog::UpdateDialog(HINSTANCE instance, UpdateTransfers& transfers, bool update_at_once)
    : instance_(instance), transfers_(transfers), update_at_once_(update_at_once) {}

UpdateDialog::~UpdateDialog() = default;  // the window is gone: its icons can go

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

INT_PTR UpdateDialog::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      return init_window();
    case WM_SYSCOMMAND:
      return on_system_command(wparam);
    case WM_PAINT:
      return on_paint();
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(big_icon_.get());
    case WM_DPICHANGED:
      on_dpi_changed(LOWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return FALSE;  // the platform's dialog handling rescales the controls laid out in dialog units
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
  dpi_ = window_dpi(window_);
  load_icons();
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
  // A copy that took an update over presses ｱｯﾌﾟﾃﾞｰﾄ itself once its window is up.
  if (update_at_once_)
    PostMessageA(window_, WM_COMMAND, MAKEWPARAM(IDC_UPDATE_BUTTON, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window_, IDC_UPDATE_BUTTON)));
  return TRUE;  // the focus goes to the first tab stop, IDCANCEL
}

void UpdateDialog::set_up_system_menu() {
  HMENU menu = GetSystemMenu(window_, FALSE);
  if (menu == nullptr) return;
  char text[256] = {};
  if (LoadStringA(instance_, IDS_ABOUT_MENU_ITEM, text, sizeof text) <= 0 || text[0] == '\0') return;
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, IDM_ABOUT, text);
}

// Three centred columns of equal width that leave room for a vertical scroll bar. The list's
// client area is already in the window's pixels (the dialog is laid out in dialog units); the
// scroll bar's width is taken at the window's DPI.
void UpdateDialog::set_up_file_list() {
  HWND list = GetDlgItem(window_, IDC_FILE_LIST);
  RECT client = {};
  GetClientRect(list, &client);
  const int width = ((client.right - client.left) - system_metric_for_dpi(SM_CXVSCROLL, dpi_)) / 3;
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

// The window's big and small icons, each drawn from the image of the icon resource that suits
// the window's DPI. The window lets go of the old ones before they are destroyed.
void UpdateDialog::load_icons() {
  const auto load = [&](int width_metric, int height_metric) {
    return static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_TOLVEX), IMAGE_ICON,
                                         system_metric_for_dpi(width_metric, dpi_),
                                         system_metric_for_dpi(height_metric, dpi_), LR_DEFAULTCOLOR));
  };
  HICON big = load(SM_CXICON, SM_CYICON);
  HICON small_icon = load(SM_CXSMICON, SM_CYSMICON);
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon));
  big_icon_.reset(big);
  small_icon_.reset(small_icon);
}

// The window moved to a screen of another DPI (or that screen's scale changed): take the
// rectangle the system suggests, scale the columns by the change (keeping their proportions)
// and load the icons for the new DPI.
void UpdateDialog::on_dpi_changed(UINT dpi, const RECT& suggested) {
  if (dpi == 0) return;
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  if (dpi == dpi_) return;
  HWND list = GetDlgItem(window_, IDC_FILE_LIST);
  for (int column = 0; column < 3; ++column) {
    const int width = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
    SendMessageA(list, LVM_SETCOLUMNWIDTH, column, MAKELPARAM(MulDiv(width, dpi, dpi_), 0));
  }
  dpi_ = dpi;
  load_icons();
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
  const int icon_width = system_metric_for_dpi(SM_CXICON, dpi_);
  const int icon_height = system_metric_for_dpi(SM_CYICON, dpi_);
  RECT client = {};
  GetClientRect(window_, &client);
  DrawIconEx(dc, (client.right - client.left - icon_width + 1) / 2, (client.bottom - client.top - icon_height + 1) / 2,
             big_icon_.get(), icon_width, icon_height, 0, nullptr, DI_NORMAL);
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

// While archives are downloading, Cancel (IDCANCEL, Escape, the close box) asks for an abort,
// which the next progress report confirms. While another step of a command runs (IDCANCEL is
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
  CommandLogFile log;
  WindowsFolderRights rights(window_);
  CommandContext context{state_,          surface,         dial_up_link(),  transfers_, progress_callback,
                         message_boxes(), system_waiter(), install_updates, log,        &rights};
  command(context);
  command_running_ = false;
}

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
