#include "workflow/command_log.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "settings/settings.h"
#include "text/cp932.h"
#include "win/process_win.h"
#include "win/protected_folder_win.h"
#include "win/scoped_win.h"

namespace tolvex {
namespace {

bool write_all(HANDLE file, const char* data, std::size_t size) {
  DWORD written = 0;
  return size <= MAXDWORD && WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) != FALSE &&
         written == size;
}

// Keeps only the log's last part: read its tail, write the records that start in it to a
// temporary file beside it, and rename that over the log. Any failure leaves the log as it was.
void trim_log(const std::string& path, std::uint64_t size) {
  std::vector<char> tail(kLogKeep + 1);
  {
    OwnedHandle log(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log.valid()) return;
    LARGE_INTEGER from;
    from.QuadPart = static_cast<LONGLONG>(size - tail.size());
    DWORD read = 0;
    if (!SetFilePointerEx(log.get(), from, nullptr, FILE_BEGIN) ||
        !ReadFile(log.get(), tail.data(), static_cast<DWORD>(tail.size()), &read, nullptr))
      return;
    tail.resize(read);
  }
  const std::size_t start = first_record_start(tail.data(), tail.size());

  TemporaryFile temporary;
  if (!temporary.create(folder_of_path(path.c_str()).c_str(), "tlg")) return;
  {
    OwnedHandle out(
        CreateFileA(temporary.path(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.valid() || !write_all(out.get(), tail.data() + start, tail.size() - start) ||
        !FlushFileBuffers(out.get()) || !out.close())
      return;
  }
  if (MoveFileExA(temporary.path(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) temporary.keep();
}

}  // namespace

std::string prepare_command_log_path() {
  const bool administrator = process_elevated();
  char folder[MAX_PATH] = {};
  const int where = administrator ? CSIDL_COMMON_APPDATA : CSIDL_LOCAL_APPDATA;
  if (SHGetFolderPathA(nullptr, where | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK)
    return std::string();
  std::string path = folder;
  for (const char* part : {"\\Halvorn", "\\Stablon2"}) {
    path += part;
    if (administrator) {
      // Nothing with fewer rights may redirect what this copy writes, or the trim's rename.
      if (!prepare_administrators_folder(path, folder)) return std::string();
    } else {
      CreateDirectoryA(path.c_str(), nullptr);  // an existing folder is fine; a failure shows at the open
    }
  }
  return path + "\\tolvex.log";
}

LocalTime CommandLogFile::now() {
  SYSTEMTIME t = {};
  GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::string CommandLogFile::update_address() { return update_url() + update_list_name(); }

void CommandLogFile::append(const std::string& record) noexcept {
  try {
    const std::string path = path_.empty() ? prepare_command_log_path() : path_;
    if (path.empty()) return;
    LARGE_INTEGER size = {};
    {
      // Appending only: each write lands at the end, even with another updater writing too.
      OwnedHandle log(CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!log.valid() || !write_all(log.get(), record.data(), record.size()) || !GetFileSizeEx(log.get(), &size))
        return;
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > kLogLimit)
      trim_log(path, static_cast<std::uint64_t>(size.QuadPart));
  } catch (...) {
  }
}

}  // namespace tolvex
