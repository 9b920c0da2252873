#pragma once
// Writes LHA archives with level-2 headers, as the publisher produces them.
//
//   std::vector<ArchiveMember> members{{"TOLVEX.EX___", bytes, mtime, Method::kLh5}};
//   std::vector<std::uint8_t> archive;
//   Result r = write_archive(members, archive);
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lha/result.h"

namespace tolvex::lha {

enum class Method {
  kStored,  // -lh0-
  kLh5,     // -lh5-, stored as -lh0- instead when compression would not make it smaller
};

// How hard -lh5- searches, and on how many threads.
struct Lh5Options {
  int max_depth = 32;                 // nodes a match search visits at most: more is smaller and slower
  std::size_t block_symbols = 65535;  // most items per Huffman block; the default is the most one holds
  unsigned threads = 0;               // sections coded at once; 0 = one per processor, at most 8
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
