// tolvex_lha_tool: list (l), test (t), print (p), extract (x, into a folder) or create (c) an
// archive with the project's codec. Used by the benchmarks and for looking at archives by hand.
//   tolvex_lha_tool l|t ARCHIVE
//   tolvex_lha_tool p ARCHIVE            (member data to stdout)
//   tolvex_lha_tool x ARCHIVE DIR        (bare file names into DIR)
//   tolvex_lha_tool c|c0 ARCHIVE FILE... (new archive, -lh5- or stored, level-2 headers)
#include <cstdio>
#include <cstring>
#include <string>

#include "base/unique_file.h"
#include "lha/archive_reader.h"
#include "lha/archive_writer.h"

namespace {

class FileSink final : public tolvex::lha::OutputSink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  bool write(const std::uint8_t* data, std::size_t size) override { return std::fwrite(data, 1, size, file_) == size; }

 private:
  std::FILE* file_;
};

std::string base_name(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int create(const char* archive, int count, char** files, tolvex::lha::Method method) {
  using namespace tolvex::lha;
  std::vector<ArchiveMember> members;
  for (int i = 0; i < count; ++i) {
    tolvex::UniqueFile in = tolvex::open_file(files[i], "rb");
    if (!in) {
      std::fprintf(stderr, "cannot open %s\n", files[i]);
      return 2;
    }
    ArchiveMember member{base_name(files[i]), {}, 0, method};
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in.get())) > 0)
      member.data.insert(member.data.end(), chunk, chunk + got);
    members.push_back(std::move(member));
  }
  Result result = write_archive_file(archive, members);
  if (!result.ok()) {
    std::fprintf(stderr, "%s\n", result.message.c_str());
    return 1;
  }
  return 0;
}

int run(char command, const char* archive, const char* folder) {
  using namespace tolvex::lha;
  FileInput input(archive);
  if (!input.is_open()) {
    std::fprintf(stderr, "cannot open %s\n", archive);
    return 2;
  }
  ArchiveReader reader(input);
  MemberHeader header;
  bool at_end = false;
  int failures = 0;
  for (;;) {
    Result result = reader.next(header, at_end);
    if (!result.ok()) {
      std::fprintf(stderr, "%s: %s\n", status_name(result.status), result.message.c_str());
      return 1;
    }
    if (at_end) break;
    if (command == 'l') {
      std::printf("%s %10llu %10llu %04x L%d %s\n", header.method, static_cast<unsigned long long>(header.packed_size),
                  static_cast<unsigned long long>(header.original_size), header.crc, header.level,
                  header.stored_path.c_str());
      continue;
    }
    if (header.is_directory) continue;
    Result decoded;
    if (command == 't') {
      NullSink sink;
      decoded = reader.extract(sink);
    } else if (command == 'p') {
      FileSink sink(stdout);
      decoded = reader.extract(sink);
    } else {
      if (header.file_name.empty()) {
        std::fprintf(stderr, "refused name: %s\n", header.stored_path.c_str());
        ++failures;
        continue;
      }
      std::string path = std::string(folder) + "/" + header.file_name;
      tolvex::UniqueFile out = tolvex::open_file(path, "wb");
      if (!out) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        return 2;
      }
      FileSink sink(out.get());
      decoded = reader.extract(sink);
    }
    if (!decoded.ok()) {
      std::fprintf(stderr, "%s: %s: %s\n", header.stored_path.c_str(), status_name(decoded.status),
                   decoded.message.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && (std::strcmp(argv[1], "c") == 0 || std::strcmp(argv[1], "c0") == 0))
    return create(argv[2], argc - 3, argv + 3,
                  argv[1][1] == '0' ? tolvex::lha::Method::kStored : tolvex::lha::Method::kLh5);
  if (argc < 3 || std::strlen(argv[1]) != 1 || std::strchr("ltpx", argv[1][0]) == nullptr ||
      (argv[1][0] == 'x' && argc < 4)) {
    std::fprintf(stderr, "usage: tolvex_lha_tool l|t|p ARCHIVE | x ARCHIVE DIR | c|c0 ARCHIVE FILE...\n");
    return 2;
  }
  return run(argv[1][0], argv[2], argc > 3 ? argv[3] : ".");
}
