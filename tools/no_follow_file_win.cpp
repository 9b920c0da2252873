#include <windows.h>

#include "tools/file_system.h"
#include "tools/no_follow_file.h"
#include "tools/owner_only_access_win.h"
#include "win/scoped_win.h"

namespace tolvex::publish {
namespace {

EntryKind kind_of(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::symbolic_link;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::folder;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return EntryKind::device;
  return EntryKind::regular;
}

bool is_missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

std::string not_regular(EntryKind kind) { return std::string("not a regular file (") + entry_kind_text(kind) + ")"; }

// 100-nanosecond intervals since 1601 to seconds since 1970.
std::int64_t unix_seconds(const FILETIME& time) {
  const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (static_cast<std::int64_t>(ticks) - 116444736000000000LL) / 10000000LL;
}

}  // namespace

EntryKind entry_kind(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return is_missing(GetLastError()) ? EntryKind::missing : EntryKind::other;
  return kind_of(attributes);
}

OpenOutcome RegularFile::open(const std::string& path, Links links, std::string& error) {
  close();
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const bool missing = is_missing(GetLastError());
    error = "cannot open: " + last_system_error();
    return missing ? OpenOutcome::missing : OpenOutcome::failed;
  }
  EntryKind kind = kind_of(attributes);
  if (kind == EntryKind::symbolic_link && links == Links::follow)
    kind = attributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::folder : EntryKind::regular;
  if (kind != EntryKind::regular) {
    error = not_regular(kind);
    return OpenOutcome::not_regular;
  }
  // With FILE_FLAG_OPEN_REPARSE_POINT a link swapped in since is opened as itself and refused below.
  const DWORD flags =
      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | (links == Links::refuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const bool missing = is_missing(GetLastError());
    error = "cannot open: " + last_system_error();
    return missing ? OpenOutcome::missing : OpenOutcome::failed;
  }
  handle_ = file;  // owned from here on: closed by close() or the destructor
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(file, &information)) {
    error = "cannot take its status: " + last_system_error();
    close();
    return OpenOutcome::failed;
  }
  kind = GetFileType(file) != FILE_TYPE_DISK ? EntryKind::device : kind_of(information.dwFileAttributes);
  if (kind == EntryKind::symbolic_link && links == Links::follow) kind = EntryKind::regular;
  if (kind != EntryKind::regular) {
    error = not_regular(kind);
    close();
    return OpenOutcome::not_regular;
  }
  size_ = (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
  modified_ = unix_seconds(information.ftLastWriteTime);
  return OpenOutcome::opened;
}

bool RegularFile::read(std::uint8_t* out, std::size_t size, std::size_t& got) {
  got = 0;
  if (handle_ == nullptr) return false;
  const DWORD wanted = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  DWORD count = 0;
  if (!ReadFile(static_cast<HANDLE>(handle_), out, wanted, &count, nullptr)) return false;
  got = count;
  return true;
}

void RegularFile::close() {
  if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
  handle_ = nullptr;
}

bool create_new_file(const std::string& path, const std::vector<std::uint8_t>& bytes, bool owner_only,
                     std::string& error) {
  // An owner-only file gets a DACL of its own at creation, so it is never readable by others,
  // not even for a moment; any other file takes its folder's access rights.
  OwnerOnlyAccess access;
  if (owner_only && !access.build(error)) return false;
  // CREATE_NEW fails on any existing name; FILE_FLAG_OPEN_REPARSE_POINT makes a link such a
  // name itself instead of a way to its target.
  OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE | (owner_only ? WRITE_DAC : 0), 0,
                               owner_only ? access.attributes() : nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid()) {
    const DWORD code = GetLastError();
    error = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS ? std::string("already exists")
                                                                      : "cannot create: " + last_system_error();
    return false;
  }
  if (owner_only && !access.apply(file.get(), error)) {
    file.close();
    DeleteFileA(path.c_str());
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t left = bytes.size() - done;
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + done, left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left), &written,
                   nullptr) ||
        written == 0)
      break;
    done += written;
  }
  if (done == bytes.size() && file.close()) return true;
  error = "cannot write: " + last_system_error();
  file.close();
  DeleteFileA(path.c_str());
  return false;
}

bool remove_file_or_link(const std::string& path, std::string& error) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES && is_missing(GetLastError())) return true;
  const EntryKind kind = attributes == INVALID_FILE_ATTRIBUTES ? EntryKind::other : kind_of(attributes);
  if (kind != EntryKind::regular && kind != EntryKind::symbolic_link) {
    error = std::string("cannot remove ") + entry_kind_text(kind) + " there";
    return false;
  }
  // A link to a folder (or a junction) is removed as a folder entry; either call removes the link, not its target.
  const bool removed =
      (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryA(path.c_str()) != 0 : DeleteFileA(path.c_str()) != 0;
  if (removed || is_missing(GetLastError())) return true;
  error = "cannot remove: " + last_system_error();
  return false;
}

}  // namespace tolvex::publish
