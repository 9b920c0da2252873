// Our -lh5- codec as one contender of scripts/bench-lha.sh, which times it from outside, like
// its peers (lhasa, jlha-utils, gzip), so that every contender pays for reading its input:
//   bench_lha a ARCHIVE FILE...   writes the files into ARCHIVE (-lh5-, as the publisher does)
//   bench_lha x ARCHIVE           decodes every member into a null sink, checking each CRC
// Exits 0 on success, 1 on failure.
#include <cstdio>
#include <string>
#include <vector>

#include "lha/archive_reader.h"
#include "lha/archive_writer.h"

namespace {

using namespace tolvex::lha;

// The whole file in one read, as the publisher takes it.
std::vector<std::uint8_t> read_bytes(const std::string& path) {
  std::vector<std::uint8_t> bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return bytes;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    long size = std::ftell(file);
    if (size > 0 && std::fseek(file, 0, SEEK_SET) == 0) {
      bytes.resize(static_cast<std::size_t>(size));
      bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    }
  }
  std::fclose(file);
  return bytes;
}

std::string base_name(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool compress(const std::string& archive, const std::vector<std::string>& files) {
  std::vector<ArchiveMember> members;
  for (const std::string& file : files) members.push_back({base_name(file), read_bytes(file), 0, Method::kLh5});
  return write_archive_file(archive, members).ok();
}

bool decode(const std::string& archive) {
  FileInput input(archive);
  if (!input.is_open()) return false;
  ArchiveReader reader(input);
  MemberHeader header;
  bool at_end = false;
  while (reader.next(header, at_end).ok() && !at_end) {
    NullSink sink;
    if (!reader.extract(sink).ok()) return false;
  }
  return at_end;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "a" && argc > 3) return compress(argv[2], std::vector<std::string>(argv + 3, argv + argc)) ? 0 : 1;
  if (command == "x" && argc == 3) return decode(argv[2]) ? 0 : 1;
  std::fprintf(stderr, "usage: bench_lha a ARCHIVE FILE... | bench_lha x ARCHIVE\n");
  return 2;
}
