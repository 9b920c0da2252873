// Any bytes as a signed manifest of either format: the parser stays within its bounds, what it
// accepts is in range, and the writer writes it back byte for byte (one text form per manifest).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "trust/manifest.h"
#include "trust/text_forms.h"

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
  const tolvex::trust::Manifest& manifest = parsed.manifest;
  if (manifest.archives.size() > tolvex::trust::kManifestMaxArchives) std::abort();
  // Format 2 always numbers its release and sizes its archives; format 1 never does.
  const bool format2 = manifest.format == 2;
  if (format2 ? manifest.serial < 1 || manifest.serial > tolvex::trust::kManifestMaxSerial
              : manifest.serial != 0 || manifest.expires)
    std::abort();
  for (const tolvex::trust::ManifestEntry& archive : manifest.archives)
    if (format2 != (archive.size >= 0) || archive.size > tolvex::trust::kManifestMaxArchiveSize) std::abort();
  std::string body;
  if (!tolvex::trust::write_manifest_body(parsed.manifest, body, error) || body != parsed.signed_part) std::abort();
  if (tolvex::trust::append_signature_line(body, parsed.signature) != std::string(text, size)) std::abort();
  return 0;
}
