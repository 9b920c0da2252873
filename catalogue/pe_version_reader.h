#pragma once
// Reads the fixed file version of a Windows PE file (an .exe or .dll) straight from its bytes,
// without the Windows API: the publisher runs on any machine with it, and the updater reads an
// installed file's version with one mapping of the file instead of two. It looks where the
// platform's version functions look: the resource directory named by the optional header's data
// directory 2, type RT_VERSION (16), name 1 (or the first name when there is no 1), the first
// language, and in that block the VS_VERSIONINFO root's VS_FIXEDFILEINFO.
//
// Every offset, size and count taken from the file is checked against the bytes given: a
// truncated or hostile file gives an error, never a read outside the buffer.
#include <cstddef>
#include <cstdint>

namespace tolvex {

struct FixedFileVersion {
  std::uint32_t file_version_ms = 0;  // major << 16 | minor
  std::uint32_t file_version_ls = 0;  // build << 16 | revision
};

enum class PeVersionStatus {
  kOk,
  kNotPe,            // no "MZ" header or no "PE\0\0" signature where e_lfanew points
  kBadHeaders,       // COFF or optional header truncated or impossible
  kNoResources,      // the file has no resource directory
  kBadResources,     // the resource directory points outside the file or is malformed
  kNoVersion,        // resources, but no RT_VERSION entry
  kBadVersionBlock,  // the VS_VERSIONINFO block is truncated or not a version block
};

// A short English description of a status, for messages.
const char* pe_version_status_text(PeVersionStatus status);

// Reads the version of the PE image held in `data` (`size` bytes).
PeVersionStatus read_pe_file_version(const std::uint8_t* data, std::size_t size, FixedFileVersion& version);

}  // namespace tolvex
