#pragma once
// This process and the programs it starts: where its program file lies, whether it runs with
// administrator rights (User Account Control's elevation), starting a program with the rights of
// another process's token, and the real blocking waits.
#include <windows.h>

#include <string>

#include "base/waiter.h"

namespace tolvex {

// The full path of the running program file; empty when it cannot be read whole.
std::string program_file_path();

// The folder of the running program file with its final separator; empty when unknown.
std::string program_folder();

// True when the current folder is the running program file's folder (compared as the system
// names them, whatever the case or short names).
bool working_in_program_folder();

// True when the access token `token` (opened with TOKEN_QUERY) is elevated.
bool token_elevated(HANDLE token);
// True when this process's token is elevated.
bool process_elevated();

// Starts `path` (code page 932) in `folder` (empty: this process's current folder) with the
// rights of `token` (an access token opened with TOKEN_DUPLICATE | TOKEN_QUERY |
// TOKEN_ASSIGN_PRIMARY), through a primary copy of it. False, having started nothing, when the
// copy or the start fails.
bool start_with_token(HANDLE token, const char* path, const std::string& folder);

// From now on a DLL loaded by name comes from the system's folder only: never from the current
// folder, PATH, or the program's own folder, where a planted copy of a system DLL would run with
// this process's rights (administrator rights, in a copy that took over an update). Called first
// thing, before any DLL beyond the few the program file imports (all known to the system, which
// takes them from its own folder) is loaded. Where the system lacks SetDefaultDllDirectories,
// at least the current folder is taken out of the search.
void limit_library_search();

// The real waiter: blocks the calling thread (Sleep).
Waiter& system_waiter();

}  // namespace tolvex
