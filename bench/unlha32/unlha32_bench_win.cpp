// Extraction by the archive library as the updater calls it (scripts/bench-unlha32.sh runs this
// once per build and round): loads UNLHA32.dll from this program's folder, takes its command
// entry by ordinal 1 and sends the updater's own command ("e -mc -n1 -jse2 <archive> *.*", the
// archive by its short name) with SCRATCH as the current folder, RUNS times.
//   unlha32_bench ARCHIVE SCRATCH RUNS
// Each run prints "run=<n> seconds=<s> bytes=<b>": the seconds of the library call alone and the
// total size of the files it wrote. Those files are deleted after each run, outside the timing.
// SCRATCH is made when absent and must hold nothing, so that only the library's output is ever
// deleted. Exits 0 when every run extracted something; 1 otherwise, with the library's result
// and report on stderr.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "install/file_swap.h"
#include "unlha32/unlha32_win.h"
#include "win/process_win.h"
#include "win/scoped_win.h"

namespace {

constexpr DWORD kReportSize = 0x8000;  // the updater's report buffer size
char g_report[kReportSize];

double seconds_between(LARGE_INTEGER start, LARGE_INTEGER end) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool is_dot_entry(const WIN32_FIND_DATAA& found) {
  return std::strcmp(found.cFileName, ".") == 0 || std::strcmp(found.cFileName, "..") == 0;
}

// True when the current folder holds no entry at all.
bool current_folder_empty() {
  WIN32_FIND_DATAA found;
  tolvex::FileSearch search("*", found);
  if (!search.found_any()) return true;
  do {
    if (!is_dot_entry(found)) return false;
  } while (search.next(found));
  return true;
}

// Deletes the files in the current folder, adding their sizes to `bytes`; false when one could
// not be deleted or a folder appeared (the "e" command writes no folders).
bool delete_output(unsigned long long& bytes) {
  WIN32_FIND_DATAA found;
  bool ok = true;
  {
    tolvex::FileSearch search("*", found);
    if (!search.found_any()) return true;
    do {
      if (is_dot_entry(found)) continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        std::fprintf(stderr, "unexpected folder %s in the scratch folder\n", found.cFileName);
        ok = false;
        continue;
      }
      bytes += (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
      if (!DeleteFileA(found.cFileName)) {
        std::fprintf(stderr, "cannot delete %s (error %lu)\n", found.cFileName, GetLastError());
        ok = false;
      }
    } while (search.next(found));
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc == 4 ? std::atoi(argv[3]) : 0;
  if (runs < 1) {
    std::fprintf(stderr, "usage: unlha32_bench ARCHIVE SCRATCH RUNS\n");
    return 2;
  }

  // The archive's full name first: the current folder changes below. Then its short form, as
  // the updater sends it.
  char full_name[MAX_PATH] = {};
  DWORD length = GetFullPathNameA(argv[1], sizeof full_name, full_name, nullptr);
  if (length == 0 || length >= sizeof full_name || GetFileAttributesA(full_name) == INVALID_FILE_ATTRIBUTES) {
    std::fprintf(stderr, "no archive %s\n", argv[1]);
    return 1;
  }
  char short_name[MAX_PATH] = {};
  length = GetShortPathNameA(full_name, short_name, sizeof short_name);
  const char* archive = (length != 0 && length < sizeof short_name) ? short_name : full_name;
  char command[1024] = {};
  std::snprintf(command, sizeof command, tolvex::kExtractCommandFormat, archive);

  const std::string library_path = tolvex::program_folder() + "UNLHA32.dll";
  tolvex::LoadedLibrary library(library_path.c_str());
  auto entry = reinterpret_cast<tolvex::UnlhaEntry>(reinterpret_cast<void*>(library.entry(tolvex::kUnlhaEntryOrdinal)));
  if (entry == nullptr) {
    std::fprintf(stderr, "cannot load the entry at ordinal %u of %s (error %lu)\n",
                 static_cast<unsigned>(tolvex::kUnlhaEntryOrdinal), library_path.c_str(), GetLastError());
    return 1;
  }

  if (!CreateDirectoryA(argv[2], nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    std::fprintf(stderr, "cannot make the scratch folder %s (error %lu)\n", argv[2], GetLastError());
    return 1;
  }
  if (!SetCurrentDirectoryA(argv[2]) || !current_folder_empty()) {
    std::fprintf(stderr, "the scratch folder %s cannot be entered or is not empty\n", argv[2]);
    return 1;
  }

  for (int run = 1; run <= runs; ++run) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const int result = entry(nullptr, command, g_report, kReportSize);
    QueryPerformanceCounter(&end);
    unsigned long long bytes = 0;
    const bool deleted = delete_output(bytes);
    if (result != 0 || bytes == 0 || !deleted) {
      std::fprintf(stderr, "run %d: result %d, %llu bytes extracted; command: %s\n%s\n", run, result, bytes, command,
                   g_report);
      return 1;
    }
    std::printf("run=%d seconds=%.6f bytes=%llu\n", run, seconds_between(start, end), bytes);
    std::fflush(stdout);
  }
  return 0;
}
