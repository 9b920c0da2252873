#pragma once
// The signed manifest that lies beside the update list as "<list name>.sig": which release it is,
// until when it may be used, the SHA-256 of the list and the size and SHA-256 of every archive
// published with it, then an ECDSA P-256 signature over every byte before the signature line.
// Lines end in LF alone:
//
//   tolvex-manifest 2
//   serial 12                                    1 or more, higher in every later release
//   expires 2027-03-31T00:00:00Z                 optional: unusable from then on (UTC)
//   list update.txt <64 lowercase hex digits>
//   archive plo.lzh 48213 <64 lowercase hex digits>      size in bytes, then SHA-256
//   ...
//   signature <128 lowercase hex digits: r then s, 32 bytes each>
//
// Format 1, written before releases were numbered, has the first line "tolvex-manifest 1", no
// serial or expires line and no sizes ("archive plo.lzh <hash>"); it is still read.
//
// This file only writes and reads the text; hashing and signing are the caller's.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tolvex::trust {

constexpr const char* kManifestFirstLine = "tolvex-manifest 2";
constexpr const char* kManifestFirstLineFormat1 = "tolvex-manifest 1";
constexpr std::size_t kManifestMaxSize = 16 * 1024;  // whole text, signature line included
constexpr std::size_t kManifestMaxArchives = 64;
constexpr std::size_t kManifestMaxNameSize = 64;
constexpr std::uint64_t kManifestMaxSerial = 999999999999999999ull;  // 18 digits
constexpr std::int64_t kManifestMaxArchiveSize = 0x7FFFFFFF;         // what a download can announce
constexpr const char* kManifestSuffix = ".sig";                      // appended to the list name

using Sha256 = std::array<std::uint8_t, 32>;
using Signature = std::array<std::uint8_t, 64>;  // raw r || s, big-endian, 32 bytes each

struct ManifestEntry {
  std::string name;  // a bare file name in the published folder
  Sha256 sha256{};
  std::int64_t size = -1;  // an archive's size in bytes (format 2); -1 for the list and in format 1
};

struct Manifest {
  int format = 2;               // 1 or 2
  std::uint64_t serial = 0;     // format 2: 1 to kManifestMaxSerial; format 1: 0
  bool expires = false;         // whether `expires_at` applies
  std::int64_t expires_at = 0;  // seconds since 1970 UTC from which the release is not used
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

// The text before the signature line, in the manifest's format: the bytes to sign. False with
// `error` for a name manifest_name_ok refuses, a name given twice, more than
// kManifestMaxArchives archives, or (format 2) a serial or archive size out of range.
bool write_manifest_body(const Manifest& manifest, std::string& body, std::string& error);

// `body` followed by the signature line: the whole manifest text.
std::string append_signature_line(const std::string& body, const Signature& signature);

// Reads a whole manifest text of either format. False with `error` ("line N: ...") for anything
// that is not exactly one of the forms above, or a text longer than kManifestMaxSize.
bool parse_manifest(const char* data, std::size_t size, ParsedManifest& parsed, std::string& error);

}  // namespace tolvex::trust
