#include "install/file_swap.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "text/cp932.h"
#include "unlha32/temporary_name.h"
#include "unlha32/unlha32_win.h"
#include "win/file_rights_win.h"
#include "win/process_win.h"
#include "win/scoped_win.h"

namespace tolvex {

const char kExtractCommandFormat[] = "e -mc -n1 -jse2 %s *.*";

namespace {

constexpr char kArchiveLibraryName[] = "UNLHA32.dll";

// The archive library's path in `folder` (which ends in its separator); empty when it is unknown.
std::string archive_library_in(const std::string& folder) {
  return folder.empty() ? std::string() : folder + kArchiveLibraryName;
}

// The system's folder with its final separator; empty when it cannot be read.
std::string system_folder() {
  char folder[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return length != 0 && length < MAX_PATH ? std::string(folder) + "\\" : std::string();
}
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

  // The archive library beside the program, else the system's; never one of the current folder
  // or PATH. Its own imports come from its folder or the system's.
  constexpr DWORD kBesideItOrSystem = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;
  LoadedLibrary beside(archive_library_in(program_folder()).c_str(), kBesideItOrSystem);
  LoadedLibrary system(beside.get() != nullptr ? "" : archive_library_in(system_folder()).c_str(), kBesideItOrSystem);
  const LoadedLibrary& library = beside.get() != nullptr ? beside : system;
  auto run = reinterpret_cast<UnlhaEntry>(reinterpret_cast<void*>(library.entry(kUnlhaEntryOrdinal)));
  if (run == nullptr) return -1;
  return run(static_cast<HWND>(owner), command, g_library_output, kLibraryOutputSize);
}

void remove_file(const char* name) { DeleteFileA(name); }

bool remove_backup(const char* name) {
  const DWORD attributes = GetFileAttributesA(name);
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) SetFileAttributesA(name, attributes & ~FILE_ATTRIBUTE_READONLY);
  if (DeleteFileA(name)) return true;
  const DWORD error = GetLastError();
  const bool gone = !exists(name);
  SetLastError(error);
  return gone;
}

bool rename_file(const char* source, const char* destination) {
  return MoveFileA(source, destination) != FALSE;  // MoveFileA never replaces an existing file
}

bool is_readable(const char* name) {
  // As a reader opens it (readers and writers shared), so that a failure's reason is kept.
  OwnedHandle file(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.valid();
}

bool failed_because_held(const char* name) {
  const DWORD error = GetLastError();
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
  // Access denied to a file that exists is a hold (a file a scanner is deleting, say) only where
  // this process may write: in a folder it cannot, it is a lack of rights that no wait mends.
  const bool held = error == ERROR_ACCESS_DENIED && exists(name) && can_create_files_in(folder_of_path(name));
  SetLastError(error);
  return held;
}

bool exists(const char* name) { return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES; }

bool flush_to_disk(const char* name) {
  OwnedHandle file(
      CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return false;
  return FlushFileBuffers(file.get()) != FALSE;
}

void remove_stale_archive_temporaries() {
  WIN32_FIND_DATAA found;
  const std::string pattern = std::string(unlha32::kTemporaryPrefix) + "*.tmp";
  FileSearch search(pattern.c_str(), found);
  if (!search.found_any()) return;
  do {
    // The search also matches short names and longer ones ("lhasa.tmp" is a user's file): the
    // long name must have the library's exact form.
    if (unlha32::is_temporary_name(found.cFileName) && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      remove_file(found.cFileName);
  } while (search.next(found));
}

void restore_orphaned_backup(const char* target, const char* backup) {
  // A failure leaves the backup for the swap of that row to put back.
  if (!exists(target) && exists(backup)) (void)rename_file(backup, target);
}

}  // namespace tolvex
