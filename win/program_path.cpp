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

std::string program_folder() {
  const std::string path = program_file_path();
  // The scan skips trail bytes: in 表 the second byte is 0x5C.
  const char* separator = find_last_path_separator(path.c_str());
  if (separator == nullptr) return std::string();
  return std::string(path.c_str(), separator);
}

}  // namespace tolvex
