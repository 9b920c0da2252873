#pragma once
// The updater's one window (dialog IDD_UPDATE): the file list, status line, progress bar and the
// three buttons, run modally for the program's whole life; the surface the commands draw on,
// the window's process-wide handle.
#include <windows.h>

#include <cstdint>

#include "win/scoped_win.h"
#include "workflow/command_context.h"

namespace tolvex {

// Marker property of the updater's main window, and its value; the single-instance mutex
// carries the marker's name too.
extern const char kUpdaterWindowMarker[];
constexpr std::uintptr_t kUpdaterWindowMarkerValue = 6;

class UpdateDialog {
 public:
  // `transfers` serve both commands and must outlive the window. With `update_at_once` the
  // window runs the update command as soon as it is up (a copy that took an update over).
  UpdateDialog(HINSTANCE instance, UpdateTransfers& transfers, bool update_at_once = false);
  ~UpdateDialog();
  UpdateDialog(const UpdateDialog&) = delete;
  UpdateDialog& operator=(const UpdateDialog&) = delete;

  // Runs the window modally; returns when the user has closed it.
  INT_PTR run_modal();

 private:
  static INT_PTR CALLBACK dialog_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR handle_message(UINT message, WPARAM wparam, LPARAM lparam);

  BOOL init_window();
  void set_up_system_menu();
  void set_up_file_list();
  void load_icons();
  void on_dpi_changed(UINT dpi, const RECT& suggested);
  bool on_system_command(WPARAM command);
  bool on_paint();
  void on_destroy();
  void on_command(WORD id, WORD notification);
  void on_cancel();
  void on_version_check();
  void on_update();
  void run_command(void (*command)(CommandContext&));

  HINSTANCE instance_;
  UpdateTransfers& transfers_;
  bool update_at_once_;
  HWND window_ = nullptr;
  UINT dpi_ = 0;        // the DPI the window's pixel sizes (columns, icons) were made for
  OwnedIcon big_icon_;  // for the window's DPI; the window refers to both while it is open
  OwnedIcon small_icon_;
  UpdateWindowState state_;
  bool command_running_ = false;  // inside the handler of IDC_CHECK_BUTTON or IDC_UPDATE_BUTTON
};

// The main window's display surfaces over its controls: the file list (IDC_FILE_LIST), the
// status line (IDC_STATUS_LINE), the progress bar (IDC_PROGRESS_BAR) and the three buttons.
class MainWindowSurface : public CommandWindow {
 public:
  explicit MainWindowSurface(HWND dialog) : dialog_(dialog) {}

  void clear_rows() override;
  void insert_row(int index, const char* name, const char* version) override;
  void set_latest_version(int index, const char* version) override;
  void show_status(const char* text) override;
  void reset_progress() override;
  void set_buttons(bool enable_commands, bool enable_cancel, const char* cancel_label) override;
  NativeWindow owner() const override { return dialog_; }

 private:
  HWND list() const;
  void set_cell(int index, int column, const char* text);

  HWND dialog_;
};

// The process-wide handle of the main window, stored when the window opens and never cleared.
HWND main_window_handle();
void set_main_window_handle(HWND window);

}  // namespace tolvex
