// The publisher's file-system operations over the C runtime and Win32 calls (the Windows build),
// on code page 932 paths: folders, files opened and created never through a link, and files
// only their owner may open.
#include "tools/file_system_win.h"

#include <windows.h>

#include <direct.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "tools/file_system.h"
#include "win/scoped_win.h"

namespace tolvex::publish {
namespace {

using FileStatus = struct _stat64;
int status_of(const std::string& path, FileStatus& status) { return _stat64(path.c_str(), &status); }

struct FindCloser {
  void operator()(HANDLE handle) const { FindClose(handle); }
};

EntryKind kind_of(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::kSymbolicLink;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::kFolder;
  if (attributes & FILE_ATTRIBUTE_DEVICE) return EntryKind::kDevice;
  return EntryKind::kRegular;
}

bool is_missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

std::string not_regular(EntryKind kind) { return std::string("not a regular file (") + entry_kind_text(kind) + ")"; }

// 100-nanosecond intervals since 1601 to seconds since 1970.
std::int64_t unix_seconds(const FILETIME& time) {
  const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (static_cast<std::int64_t>(ticks) - 116444736000000000LL) / 10000000LL;
}

}  // namespace

bool is_directory(const std::string& path) {
  FileStatus status;
  return status_of(path, status) == 0 && (status.st_mode & S_IFMT) == S_IFDIR;
}

bool file_exists(const std::string& path) {
  FileStatus status;
  return status_of(path, status) == 0;
}

bool list_files(const std::string& folder, std::vector<std::string>& names) {
  names.clear();
  WIN32_FIND_DATAA found;
  HANDLE raw = FindFirstFileA(join_path(folder, "*").c_str(), &found);
  if (raw == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  std::unique_ptr<void, FindCloser> search(raw);
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(raw, &found));
  std::sort(names.begin(), names.end());
  return true;
}

bool make_directory(const std::string& path) { return _mkdir(path.c_str()) == 0; }

bool remove_directory(const std::string& path) { return _rmdir(path.c_str()) == 0; }

bool replace_file(const std::string& from, const std::string& to) {
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string last_system_error() {
  const DWORD code = GetLastError();
  if (code != 0) return "error " + std::to_string(code);
  return std::strerror(errno);
}

EntryKind entry_kind(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return is_missing(GetLastError()) ? EntryKind::kMissing : EntryKind::kOther;
  return kind_of(attributes);
}

OpenOutcome RegularFile::open(const std::string& path, Links links, std::string& error) {
  close();
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const bool missing = is_missing(GetLastError());
    error = "cannot open: " + last_system_error();
    return missing ? OpenOutcome::kMissing : OpenOutcome::kFailed;
  }
  EntryKind kind = kind_of(attributes);
  if (kind == EntryKind::kSymbolicLink && links == Links::kFollow)
    kind = attributes & FILE_ATTRIBUTE_DIRECTORY ? EntryKind::kFolder : EntryKind::kRegular;
  if (kind != EntryKind::kRegular) {
    error = not_regular(kind);
    return OpenOutcome::kNotRegular;
  }
  // With FILE_FLAG_OPEN_REPARSE_POINT a link swapped in since is opened as itself and refused below.
  const DWORD flags =
      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN | (links == Links::kRefuse ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const bool missing = is_missing(GetLastError());
    error = "cannot open: " + last_system_error();
    return missing ? OpenOutcome::kMissing : OpenOutcome::kFailed;
  }
  handle_ = file;  // owned from here on: closed by close() or the destructor
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(file, &information)) {
    error = "cannot take its status: " + last_system_error();
    close();
    return OpenOutcome::kFailed;
  }
  kind = GetFileType(file) != FILE_TYPE_DISK ? EntryKind::kDevice : kind_of(information.dwFileAttributes);
  if (kind == EntryKind::kSymbolicLink && links == Links::kFollow) kind = EntryKind::kRegular;
  if (kind != EntryKind::kRegular) {
    error = not_regular(kind);
    close();
    return OpenOutcome::kNotRegular;
  }
  size_ = (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
  modified_ = unix_seconds(information.ftLastWriteTime);
  return OpenOutcome::kOpened;
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
  const EntryKind kind = attributes == INVALID_FILE_ATTRIBUTES ? EntryKind::kOther : kind_of(attributes);
  if (kind != EntryKind::kRegular && kind != EntryKind::kSymbolicLink) {
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

bool OwnerOnlyAccess::build(std::string& error) {
  HANDLE token_handle = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token_handle)) {
    error = "cannot read the current user";
    return false;
  }
  OwnedHandle token(token_handle);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  user_.resize(size);
  if (size == 0 || !GetTokenInformation(token.get(), TokenUser, user_.data(), size, &size)) {
    error = "cannot read the current user";
    return false;
  }
  PSID sid = reinterpret_cast<TOKEN_USER*>(user_.data())->User.Sid;
  acl_.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(sid));
  auto* acl = reinterpret_cast<ACL*>(acl_.data());
  if (!InitializeAcl(acl, static_cast<DWORD>(acl_.size()), ACL_REVISION) ||
      !AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, sid) ||
      !InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&descriptor_, TRUE, acl, FALSE) ||
      !SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
    error = "cannot build an access list for the current user alone";
    return false;
  }
  attributes_.nLength = sizeof attributes_;
  attributes_.lpSecurityDescriptor = &descriptor_;
  attributes_.bInheritHandle = FALSE;
  return true;
}

bool OwnerOnlyAccess::apply(HANDLE file, std::string& error) {
  if (SetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                      nullptr, reinterpret_cast<ACL*>(acl_.data()), nullptr) == ERROR_SUCCESS)
    return true;
  error = "cannot limit the file to the current user";
  return false;
}

}  // namespace tolvex::publish
