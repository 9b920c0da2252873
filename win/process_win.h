#pragma once
// This process and the programs it starts: where its program file lies, whether it runs with
// administrator rights (User Account Control's elevation), starting a program with the rights of
// the user's desktop shell, and the real blocking waits.
#include <windows.h>

#include <string>

#include "base/waiter.h"

namespace tolvex {

// The full path of the running program file; empty when it cannot be read whole.
std::string program_file_path();

// The folder of the running program file with its final separator; empty when unknown.
std::string program_folder();

// True when the access token `token` (opened with TOKEN_QUERY) is elevated.
bool token_elevated(HANDLE token);
// True when this process's token is elevated.
bool process_elevated();

// A copy of the updater that runs with administrator rights (it took over an update of a
// protected suite folder) must not hand those rights on to the suite's programs it starts
// again: they are to run as the user started them before, with the shell's ordinary rights.
// Starts `path` (code page 932) in `folder` (empty: this process's current folder) with the
// token of the process that owns the shell's desktop window, when this process is elevated and
// the shell is not. False, having started nothing, in every other case (not elevated, no
// shell, the shell elevated too, or the start failed): the caller then starts it its usual way.
bool start_with_shell_rights(const char* path, const std::string& folder);

// The real waiter: blocks the calling thread (Sleep).
Waiter& system_waiter();

}  // namespace tolvex
