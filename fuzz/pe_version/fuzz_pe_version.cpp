// Any bytes into the PE version reader: it must return a status without reading outside the
// buffer, and a version only when it found a VS_FIXEDFILEINFO.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue/pe_version_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so AddressSanitizer sees any read past the end.
  std::vector<std::uint8_t> bytes(data, data + size);
  tolvex::FixedFileVersion version;
  tolvex::read_pe_file_version(bytes.data(), bytes.size(), version);
  return 0;
}
