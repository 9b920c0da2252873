#pragma once
// The signed manifest that lies beside the update list as "<list name>.sig": the SHA-256 of the
// list and of every archive published with it, then an ECDSA P-256 signature over every byte
// before the signature line. Lines end in LF alone:
//
//   tolvex-manifest 1
//   list update.txt <64 lowercase hex digits>
//   archive plo.lzh <64 lowercase hex digits>
//   ...
//   signature <128 lowercase hex digits: r then s, 32 bytes each>
//
// This file only writes and reads the text; hashing and signing are the caller's.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tolvex::trust {

constexpr const char* kManifestFirstLine = "tolvex-manifest 1";
constexpr std::size_t kManifestMaxSize = 16 * 1024;  // whole text, signature line included
constexpr std::size_t kManifestMaxArchives = 64;
constexpr std::size_t kManifestMaxNameSize = 64;
constexpr const char* kManifestSuffix = ".sig";  // appended to the list name

using Sha256 = std::array<std::uint8_t, 32>;
using Signature = std::array<std::uint8_t, 64>;  // raw r || s, big-endian, 32 bytes each

struct ManifestEntry {
  std::string name;  // a bare file name in the published folder
  Sha256 sha256{};
};

struct Manifest {
  ManifestEntry list;
  std::vector<ManifestEntry> archives;
};

struct ParsedManifest {
  Manifest manifest;
  std::string signed_part;  // every byte before the signature line
  Signature signature{};
};

// True for a name the manifest can hold: 1 to kManifestMaxNameSize printable ASCII characters,
// none of them a space, '/', '\\' or ':', and not "." or "..".
bool manifest_name_ok(const std::string& name);

// The text before the signature line: the bytes to sign. False with `error` for a name
// manifest_name_ok refuses, a name given twice, or more than kManifestMaxArchives archives.
bool write_manifest_body(const Manifest& manifest, std::string& body, std::string& error);

// `body` followed by the signature line: the whole manifest text.
std::string append_signature_line(const std::string& body, const Signature& signature);

// Reads a whole manifest text. False with `error` ("line N: ...") for anything that is not
// exactly the form above, or a text longer than kManifestMaxSize.
bool parse_manifest(const char* data, std::size_t size, ParsedManifest& parsed, std::string& error);

}  // namespace tolvex::trust
