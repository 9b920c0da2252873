#pragma once
// The update list's file name: the updater fetches the URL setting followed by this name, and
// the archives lie beside it, so it must be a bare name that no archive uses.
#include <string>

namespace tolvex::publish {

// False with `error` for an empty name, one with a folder part, or an archive's name (".lzh").
bool check_list_name(const std::string& name, std::string& error);

}  // namespace tolvex::publish
