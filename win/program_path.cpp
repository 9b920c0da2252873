#include "win/program_path.h"

#include <windows.h>

#include "text/cp932.h"

namespace tolvex {

std::string program_file_path() {
  char path[1024] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return std::string();
  return std::string(path, length);
}

std::string program_folder() { return folder_of_path(program_file_path().c_str()); }

}  // namespace tolvex
