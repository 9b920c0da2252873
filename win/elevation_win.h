#pragma once
// Whether a process runs with administrator rights (User Account Control's elevation).
#include <windows.h>

namespace tolvex {

// True when the access token `token` (opened with TOKEN_QUERY) is elevated.
bool token_elevated(HANDLE token);
// True when this process's token is elevated.
bool process_elevated();

}  // namespace tolvex
