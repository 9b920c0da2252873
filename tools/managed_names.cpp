#include "tools/managed_names.h"

#include "catalogue/managed_file_table.h"
#include "catalogue/version_text.h"

namespace tolvex::publish {

int managed_row(const std::string& name) {
  for (int row = 0; row < kManagedFileCount; ++row)
    if (name == kManagedFileNames[row]) return row;
  return -1;
}

const char* managed_name_in_other_case(const std::string& name) {
  for (const char* managed : kManagedFileNames)
    if (equals_ignoring_ascii_case(name.c_str(), managed)) return managed;
  return nullptr;
}

std::string unmanaged_name_reason(const std::string& name) {
  if (managed_row(name) >= 0) return "";
  if (const char* managed = managed_name_in_other_case(name))
    return "the updater matches names byte for byte: spell it \"" + std::string(managed) + "\"";
  return "not one of the 26 files the updater manages";
}

}  // namespace tolvex::publish
