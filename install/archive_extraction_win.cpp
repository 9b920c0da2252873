#include "install/archive_extraction.h"

#include <cstdio>

namespace tolvex {

const char kExtractCommandFormat[] = "e -mc -n1 -jse2 %s *.*";

namespace {

using LibraryCommand = int(WINAPI*)(HWND owner, LPCSTR command, LPSTR output, DWORD output_size);

constexpr DWORD kLibraryOutputSize = 0x8000;
char g_library_output[kLibraryOutputSize];  // process-wide; the library's report is not read

// Owns a loaded library for the length of one call.
class LoadedLibrary {
 public:
  explicit LoadedLibrary(const char* name) : module_(LoadLibraryA(name)) {}
  ~LoadedLibrary() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  FARPROC entry(WORD ordinal) const {
    return module_ != nullptr ? GetProcAddress(module_, MAKEINTRESOURCEA(ordinal)) : nullptr;
  }

 private:
  HMODULE module_;
};

}  // namespace

int extract_archive(HWND owner, const char* archive_name) {
  // The short form keeps the command free of blanks; without one the name goes as it is.
  char short_name[512] = {};
  DWORD length = GetShortPathNameA(archive_name, short_name, sizeof short_name);
  const char* name = (length != 0 && length < sizeof short_name) ? short_name : archive_name;

  char command[1024] = {};
  std::snprintf(command, sizeof command, kExtractCommandFormat, name);

  LoadedLibrary library("UNLHA32.dll");
  auto run = reinterpret_cast<LibraryCommand>(library.entry(1));
  if (run == nullptr) return -1;
  return run(owner, command, g_library_output, kLibraryOutputSize);
}

}  // namespace tolvex
