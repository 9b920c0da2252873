#pragma once
// Looking names up in the updater's table of 26 managed files, which it matches byte for byte.
#include <string>

namespace tolvex::publish {

// The row (0-25) of a managed file spelled exactly `name`, or -1.
int managed_row(const std::string& name);

// The managed name that equals `name` without regard to letter case, or nullptr.
const char* managed_name_in_other_case(const std::string& name);

// Why `name` cannot be published under that name, or "" when it is a managed name.
std::string unmanaged_name_reason(const std::string& name);

}  // namespace tolvex::publish
