#pragma once
// Starting a program with the rights of the user's desktop shell rather than this process's
// own. A copy of the updater that runs with administrator rights (it took over an update of a
// protected suite folder) must not hand those rights on to the suite's programs it starts
// again: they are to run as the user started them before, with the shell's ordinary rights.
#include <string>

namespace tolvex {

// Starts `path` (code page 932) in `folder` (empty: this process's current folder) with the
// token of the process that owns the shell's desktop window, when this process is elevated and
// the shell is not. False, having started nothing, in every other case (not elevated, no
// shell, the shell elevated too, or the start failed): the caller then starts it its usual way.
bool start_with_shell_rights(const char* path, const std::string& folder);

}  // namespace tolvex
