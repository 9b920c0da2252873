#pragma once
// What Unlha() returns: 0 on success, one of these otherwise.
namespace tolvex::unlha32 {

enum ResultCode : int {
  kSuccess = 0,
  kBadCommand = 0x8001,       // the command line could not be understood
  kArchiveNotFound = 0x8002,  // the archive cannot be opened
  kArchiveDamaged = 0x8003,   // a header is broken or the archive ends early
  kMemberFailed = 0x8004,     // a member failed (CRC, unsupported method, unsafe name)
  kCannotWrite = 0x8005,      // an output file could not be created or moved into place
};

}  // namespace tolvex::unlha32
