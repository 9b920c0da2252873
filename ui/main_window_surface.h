#pragma once
// The main window's display surfaces over its controls: the file list (1004), the status line
// (1007) and the progress bar (1008).
#include <windows.h>

#include "catalogue/catalogue_view.h"
#include "net/status_surface.h"

namespace tolvex {

class MainWindowSurface : public CatalogueView, public StatusSurface {
 public:
  explicit MainWindowSurface(HWND dialog) : dialog_(dialog) {}

  void clear_rows() override;
  void insert_row(int index, const char* name, const char* version) override;
  void set_latest_version(int index, const char* version) override;
  void show_status(const char* text) override;
  void reset_progress() override;

 private:
  HWND list() const;
  void set_cell(int index, int column, const char* text);

  HWND dialog_;
};

}  // namespace tolvex
