// bench_lha FILE...: compresses the files with our -lh5- writer and with jlha-utils, then
// decodes both archives with our codec and with lhasa, all in one run, and prints sizes,
// throughputs (MB/s of original data) and ratios. Run by scripts/bench-lha.sh.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lha/archive_reader.h"
#include "lha/archive_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace tolvex::lha;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::vector<std::uint8_t> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string base_name(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Best of `runs` timings of `work`, in seconds.
template <typename Work>
double best_of(int runs, Work work) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    work();
    double t = seconds_since(start);
    if (t < best) best = t;
  }
  return best;
}

bool decode_with_ours(const std::string& archive) {
  FileInput input(archive);
  ArchiveReader reader(input);
  MemberHeader header;
  bool at_end = false;
  while (reader.next(header, at_end).ok() && !at_end) {
    NullSink sink;
    if (!reader.extract(sink).ok()) return false;
  }
  return at_end;
}

int shell(const std::string& command) { return std::system(command.c_str()); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_lha FILE...\n");
    return 2;
  }
  std::vector<ArchiveMember> members;
  std::string file_list;
  double total = 0;
  for (int i = 1; i < argc; ++i) {
    members.push_back({base_name(argv[i]), read_bytes(argv[i]), 0, Method::lh5});
    total += static_cast<double>(members.back().data.size());
    file_list += std::string(" '") + argv[i] + "'";
  }
  const double mb = total / 1e6;
  std::printf("input: %d files, %.1f MB\n", argc - 1, mb);

  std::vector<std::uint8_t> ours;
  double our_compress = best_of(1, [&] { write_archive(members, ours); });
  {
    std::ofstream out("ours.lzh", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(ours.data()), static_cast<std::streamsize>(ours.size()));
  }
  std::remove("jlha.lzh");
  double jlha_compress = best_of(1, [&] { shell("jlha a jlha.lzh" + file_list + " >/dev/null 2>&1"); });
  double jlha_size = static_cast<double>(read_bytes("jlha.lzh").size());
  double our_size = static_cast<double>(ours.size());

  std::printf("\ncompression (-lh5-)      size (bytes)   ratio    MB/s\n");
  std::printf("  ours                 %12.0f  %6.2f%%  %6.1f\n", our_size, 100 * our_size / total, mb / our_compress);
  std::printf("  jlha-utils           %12.0f  %6.2f%%  %6.1f\n", jlha_size, 100 * jlha_size / total,
              mb / jlha_compress);
  std::printf("  ours/jlha size %.4f, speed x%.2f\n", our_size / jlha_size, jlha_compress / our_compress);

  std::printf("\ndecoding                  ours MB/s   lhasa MB/s   ours/lhasa speed\n");
  for (const char* archive : {"ours.lzh", "jlha.lzh"}) {
    bool ok = true;
    double ours_time = best_of(3, [&] { ok = decode_with_ours(archive) && ok; });
    double lhasa_time = best_of(3, [&] { shell(std::string("lhasa -pq ") + archive + " >/dev/null 2>&1"); });
    std::printf("  %-22s %9.1f   %10.1f   x%.2f%s\n", archive, mb / ours_time, mb / lhasa_time, lhasa_time / ours_time,
                ok ? "" : "  (DECODE FAILED)");
  }
  return 0;
}
