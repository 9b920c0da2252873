#pragma once
// Whether a private key file is open to its owner alone: mode 0600 natively; on Windows a DACL
// protected from inheritance with one ACE, allowing the current user (under Wine, which keeps no
// DACL on files, the descriptor keygen creates and limits the file with). `why` says what differs.
#include <string>

namespace tolvex::testing {

bool open_to_owner_only(const std::string& path, std::string& why);

}  // namespace tolvex::testing
