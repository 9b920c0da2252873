// Any bytes as a signed manifest: the parser stays within its bounds, and what it accepts the
// writer writes back byte for byte (one text form per manifest).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "trust/manifest.h"
#include "trust/public_key_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* text = reinterpret_cast<const char*>(data);
  tolvex::trust::PublicKey key;
  std::string error;
  if (tolvex::trust::parse_public_key(text, size, key, error) && size < 128) std::abort();

  tolvex::trust::ParsedManifest parsed;
  if (!tolvex::trust::parse_manifest(text, size, parsed, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  if (parsed.manifest.archives.size() > tolvex::trust::kManifestMaxArchives) std::abort();
  std::string body;
  if (!tolvex::trust::write_manifest_body(parsed.manifest, body, error) || body != parsed.signed_part) std::abort();
  if (tolvex::trust::append_signature_line(body, parsed.signature) != std::string(text, size)) std::abort();
  return 0;
}
