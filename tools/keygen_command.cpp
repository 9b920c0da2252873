#include "tools/keygen_command.h"

#include <vector>

#include "tools/file_system.h"
#include "tools/signing.h"

namespace tolvex::publish {

int run_keygen(const KeygenOptions& options, Report& report, std::ostream& out) {
  for (const std::string& path : {options.private_key_file, options.public_key_file}) {
    if (entry_kind(path) != EntryKind::missing) {
      report.error(path + ": already exists; keygen never replaces a key");
      return 1;
    }
  }
  std::string private_pem, error;
  trust::PublicKey public_key;
  if (!generate_key(private_pem, public_key, error)) {
    report.error(error);
    return 1;
  }
  if (!create_new_file(options.private_key_file, std::vector<std::uint8_t>(private_pem.begin(), private_pem.end()),
                       true, error)) {
    report.error(options.private_key_file + ": " + error);
    return 1;
  }
  const std::string public_text = trust::format_public_key(public_key);
  if (!create_new_file(options.public_key_file, std::vector<std::uint8_t>(public_text.begin(), public_text.end()),
                       false, error)) {
    report.error(options.public_key_file + ": " + error);
    remove_file(options.private_key_file);
    return 1;
  }
  out << "wrote the private key " << options.private_key_file << " (keep it secret) and the public key "
      << options.public_key_file << "\n";
  return 0;
}

}  // namespace tolvex::publish
