#pragma once
// The display surfaces the catalogue writes: the list view's rows and the status line. The main
// window implements them with its controls; tests record what is written.
#include "base/status_surface.h"

namespace tolvex {

class CatalogueView : public StatusSurface {
 public:
  virtual ~CatalogueView() = default;
  // Removes every item of the file list.
  virtual void clear_rows() = 0;
  // Inserts item `index` with the file name in column 0 and the local version in column 1.
  virtual void insert_row(int index, const char* name, const char* version) = 0;
  // Sets column 2 (latest version) of item `index`.
  virtual void set_latest_version(int index, const char* version) = 0;
};

}  // namespace tolvex
