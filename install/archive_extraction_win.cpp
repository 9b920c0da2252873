#include "install/archive_extraction.h"

#include <windows.h>

#include <cstdio>

#include "unlha32/unlha32_win.h"
#include "win/scoped_win.h"

namespace tolvex {

const char kExtractCommandFormat[] = "e -mc -n1 -jse2 %s *.*";

namespace {

constexpr DWORD kLibraryOutputSize = 0x8000;
char g_library_output[kLibraryOutputSize];  // process-wide; the library's report is not read

}  // namespace

int extract_archive(NativeWindow owner, const char* archive_name) {
  // The short form keeps the command free of blanks; without one the name goes as it is.
  char short_name[512] = {};
  DWORD length = GetShortPathNameA(archive_name, short_name, sizeof short_name);
  const char* name = (length != 0 && length < sizeof short_name) ? short_name : archive_name;

  char command[1024] = {};
  std::snprintf(command, sizeof command, kExtractCommandFormat, name);

  LoadedLibrary library("UNLHA32.dll");
  auto run = reinterpret_cast<UnlhaEntry>(reinterpret_cast<void*>(library.entry(kUnlhaEntryOrdinal)));
  if (run == nullptr) return -1;
  return run(static_cast<HWND>(owner), command, g_library_output, kLibraryOutputSize);
}

}  // namespace tolvex
