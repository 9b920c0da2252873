#include <windows.h>
#include <aclapi.h>

#include <vector>

#include "tools/file_system_win.h"
#include "tools/owner_only_check.h"
#include "win/scoped_win.h"

namespace tolvex::testing {
namespace {

// Wine 8 keeps no DACL of its own on a file here: it reports one made from the Unix mode bits
// (three ACEs, not protected), whatever was set at creation or later.
bool files_keep_their_dacl() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") == nullptr; }

bool current_user(std::vector<unsigned char>& user) {
  HANDLE token_handle = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token_handle)) return false;
  OwnedHandle token(token_handle);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  user.resize(size);
  return size != 0 && GetTokenInformation(token.get(), TokenUser, user.data(), size, &size);
}

bool owner_only(PSECURITY_DESCRIPTOR descriptor, std::string& why) {
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  if (!GetSecurityDescriptorControl(descriptor, &control, &revision) || !(control & SE_DACL_PROTECTED)) {
    why = "the DACL is not protected from inheritance";
    return false;
  }
  if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || dacl == nullptr) {
    why = "no DACL (everyone may open it)";
    return false;
  }
  void* ace = nullptr;
  if (dacl->AceCount != 1 || !GetAce(dacl, 0, &ace) ||
      static_cast<ACE_HEADER*>(ace)->AceType != ACCESS_ALLOWED_ACE_TYPE) {
    why = std::to_string(dacl->AceCount) + " ACEs, or one that does not allow";
    return false;
  }
  std::vector<unsigned char> user;
  why = "the ACE allows someone else";
  return current_user(user) && EqualSid(&static_cast<ACCESS_ALLOWED_ACE*>(ace)->SidStart,
                                        reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid) != FALSE;
}

}  // namespace

bool open_to_owner_only(const std::string& path, std::string& why) {
  if (!files_keep_their_dacl()) {  // the descriptor the file is created and then limited with
    publish::OwnerOnlyAccess access;
    return access.build(why) && owner_only(access.attributes()->lpSecurityDescriptor, why);
  }
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr,
                            &descriptor) != ERROR_SUCCESS) {
    why = "cannot read the security descriptor";
    return false;
  }
  LocalMemory owner(descriptor);
  return owner_only(descriptor, why);
}

}  // namespace tolvex::testing
