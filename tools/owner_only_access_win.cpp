#include "tools/owner_only_access_win.h"

#include "win/scoped_win.h"

namespace tolvex::publish {

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
