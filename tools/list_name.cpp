#include "tools/list_name.h"

#include "text/cp932.h"

namespace tolvex::publish {

bool check_list_name(const std::string& name, std::string& error) {
  if (name.empty()) {
    error = "the list name is empty";
    return false;
  }
  if (find_last_path_separator(name.c_str()) != nullptr || name == "." || name == "..") {
    error = "the list name \"" + name + "\" must be a bare file name (it lies beside the archives)";
    return false;
  }
  if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".lzh") == 0) {
    error = "the list name \"" + name + "\" ends in .lzh, like the archives";
    return false;
  }
  return true;
}

}  // namespace tolvex::publish
