#include "bench/download/bench_window_win.h"

#include <commctrl.h>

#include "resources/resource_ids.h"
#include "ui/update_dialog_win.h"

namespace tolvex::bench {
namespace {

constexpr char kWindowClass[] = "TolvexDownloadBench";

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcA(window, message, w, l);
}

}  // namespace

BenchWindow::BenchWindow() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  WNDCLASSA window_class = {};
  window_class.lpfnWndProc = window_procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  RegisterClassA(&window_class);
  window_ = CreateWindowExA(0, kWindowClass, "download bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 520, 140,
                            nullptr, nullptr, window_class.hInstance, nullptr);
  if (window_ == nullptr) return;
  CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 490, 20, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_LINE)), window_class.hInstance, nullptr);
  CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 10, 40, 490, 20, window_,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_BAR)), window_class.hInstance, nullptr);
  UpdateWindow(window_);
  set_main_window_handle(window_);
}

BenchWindow::~BenchWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

void BenchWindow::status_text(char* buffer, int size) const { GetDlgItemTextA(window_, IDC_STATUS_LINE, buffer, size); }

int BenchWindow::progress_position() const {
  return static_cast<int>(SendDlgItemMessageA(window_, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
}

}  // namespace tolvex::bench
