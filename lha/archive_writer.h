#pragma once
// Writes LHA archives with level-2 headers, as the publisher produces them.
//
//   std::vector<ArchiveMember> members{{"TOLVEX.EX___", bytes, mtime, Method::kLh5}};
//   std::vector<std::uint8_t> archive;
//   Result r = write_archive(members, archive);
#include <cstdint>
#include <string>
#include <vector>

#include "lha/lzh_encoder.h"
#include "lha/result.h"

namespace tolvex::lha {

enum class Method {
  kStored,  // -lh0-
  kLh5,     // -lh5-, stored as -lh0- instead when compression would not make it smaller
};

struct ArchiveMember {
  std::string name;  // code page 932 bytes; '\\' or '/' separate directories
  std::vector<std::uint8_t> data;
  std::uint32_t unix_time = 0;  // modification time, seconds since 1970 UTC
  Method method = Method::kLh5;
};

// Appends one member (header and data) to `archive`.
Result append_member(const ArchiveMember& member, std::vector<std::uint8_t>& archive, const Lh5Options& options = {});

// A complete archive: every member, then the end marker. `archive` is replaced.
Result write_archive(const std::vector<ArchiveMember>& members, std::vector<std::uint8_t>& archive,
                     const Lh5Options& options = {});

// write_archive() into a file (narrow path); the file is written only when encoding succeeded.
Result write_archive_file(const std::string& path, const std::vector<ArchiveMember>& members,
                          const Lh5Options& options = {});

}  // namespace tolvex::lha
