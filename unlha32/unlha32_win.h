#pragma once
// The public entry of the archive library UNLHA32.dll: one command call, exported at ordinal 1
// (and by the name "Unlha"). A third-party library of the same name offers the same entry.
#include <windows.h>

namespace tolvex {

// Ordinal of the command entry.
constexpr WORD kUnlhaEntryOrdinal = 1;

// Runs `command` (e.g. "e -mc -n1 -jse2 <archive> *.*") and writes a report of at most
// `output_size` bytes, NUL-terminated, into `output`. Returns a unlha32::ResultCode
// (unlha32/archive_command.h): kSuccess, or what went wrong.
using UnlhaEntry = int(WINAPI*)(HWND owner, LPCSTR command, LPSTR output, DWORD output_size);

}  // namespace tolvex

extern "C" int WINAPI Unlha(HWND owner, LPCSTR command, LPSTR output, DWORD output_size);
