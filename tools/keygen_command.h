#pragma once
// keygen: make a new ECDSA P-256 key pair for signing published folders.
#include <ostream>
#include <string>

#include "tools/report.h"

namespace tolvex::publish {

struct KeygenOptions {
  std::string private_key_file;  // PEM (PKCS#8), readable by its owner only
  std::string public_key_file;   // the public key's text form (trust/public_key_text.h)
};

// Returns 0 when both files were written, 1 otherwise (an existing file is never replaced).
int run_keygen(const KeygenOptions& options, Report& report, std::ostream& out);

}  // namespace tolvex::publish
