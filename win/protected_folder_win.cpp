#include "win/protected_folder_win.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "win/scoped_win.h"

namespace tolvex {
namespace {

// Owner: Administrators. Protected from inheritance: the system and Administrators have full
// control, users may read and list, for this folder, its subfolders and files.
constexpr char kAdministratorsOnly[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

// The owner of `path`, in a buffer of its own; empty when it cannot be read.
std::vector<unsigned char> owner_of(const std::string& path) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                            &raw) != ERROR_SUCCESS)
    return {};
  LocalMemory descriptor(raw);
  if (owner == nullptr || !IsValidSid(owner)) return {};
  const unsigned char* bytes = static_cast<const unsigned char*>(owner);
  return std::vector<unsigned char>(bytes, bytes + GetLengthSid(owner));
}

bool owned_by_administrators_or_system(const std::string& path, const std::string& root) {
  std::vector<unsigned char> owner = owner_of(path);
  if (owner.empty()) return false;
  PSID sid = owner.data();
  if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid)) return true;
  std::vector<unsigned char> root_owner = owner_of(root);
  return !root_owner.empty() && EqualSid(sid, root_owner.data());
}

}  // namespace

bool prepare_administrators_folder(const std::string& path, const std::string& root) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnly, SDDL_REVISION_1, &raw, nullptr))
      return false;
    LocalMemory descriptor(raw);
    SECURITY_ATTRIBUTES security = {sizeof security, raw, FALSE};
    if (!CreateDirectoryA(path.c_str(), &security) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    attributes = GetFileAttributesA(path.c_str());
  }
  // Whatever stands there now is judged, including a folder somebody made in the meantime.
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && owned_by_administrators_or_system(path, root);
}

}  // namespace tolvex
