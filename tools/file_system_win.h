#pragma once
// The Windows build's own part of the file system: security attributes for a file only its
// owner may open, a DACL with one ACE granting the process's user (the token's user SID) full
// access, protected so that the folder's inheritable ACEs do not add anyone else. Used to create
// the private key file.
#include <windows.h>
#include <aclapi.h>

#include <string>
#include <vector>

namespace tolvex::publish {

class OwnerOnlyAccess {
 public:
  OwnerOnlyAccess() = default;
  OwnerOnlyAccess(const OwnerOnlyAccess&) = delete;
  OwnerOnlyAccess& operator=(const OwnerOnlyAccess&) = delete;

  // Builds the descriptor; false with `error` when the user or the DACL cannot be had.
  bool build(std::string& error);
  // For CreateFile; valid while this object lives, after build() succeeded.
  SECURITY_ATTRIBUTES* attributes() { return &attributes_; }
  // Sets the DACL again on the created file (opened with WRITE_DAC), marked protected: a DACL
  // given at creation does not keep its protection everywhere (not under Wine 8).
  bool apply(HANDLE file, std::string& error);

 private:
  std::vector<unsigned char> user_;  // TOKEN_USER, which holds the SID the ACE points to
  std::vector<unsigned char> acl_;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace tolvex::publish
