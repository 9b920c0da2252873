#include <sys/stat.h>

#include "tools/owner_only_check.h"

namespace tolvex::testing {

bool open_to_owner_only(const std::string& path, std::string& why) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    why = "cannot stat";
    return false;
  }
  why = "mode " + std::to_string(status.st_mode & 0777);
  return (status.st_mode & 0777) == 0600;
}

}  // namespace tolvex::testing
