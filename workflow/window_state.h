#pragma once
// What the main window keeps for the program's whole run, shared by its two commands.
#include <cstdint>

#include "catalogue/managed_file_table.h"
#include "catalogue/update_list.h"
#include "install/sibling_programs.h"
#include "settings/settings.h"

namespace tolvex {

struct UpdateWindowState {
  ConnectionOptions Connection;
  std::int32_t ListFetched = 0;  // 1 once a list fetch succeeded in this run
  std::int32_t Busy = 0;         // 1 only while archives download
  std::int32_t DialledByUs = 0;  // 1 when this command's connect step dialled
  std::int32_t WasRunning[kSiblingCount] = {};
  ManagedFileTable Table;
  UpdateListRows List;
};

}  // namespace tolvex
