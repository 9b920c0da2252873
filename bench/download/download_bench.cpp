// Measures the updater's download path (download_file with the main window's progress callback,
// drawing into a real window) against a plain 64 KiB WinInet loop, on the same local server and
// file. Prints one "name=MB/s" line per path; scripts/bench-download.sh adds curl and the ratios.
//   download_bench <base URL ending in "/"> <file name> <expected bytes>
// Two more lines break the cost of (1) down: the transfer with no callback at all, and the
// transfer with a callback that redraws and pumps messages at most every 15 ms.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/abort_request.h"
#include "bench/download/bench_window.h"
#include "bench/download/plain_wininet_download.h"
#include "net/http_transfer.h"
#include "ui/progress.h"

namespace {

// The bench's own profile entry "URL", removed again at the end.
class BenchSettings {
 public:
  explicit BenchSettings(const std::string& url) {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string base = module;
    base.erase(0, base.find_last_of("\\/") + 1);
    base.erase(base.rfind('.'));
    path_ = "Software\\Halvorn\\R58\\" + base + "\\OPTION";
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) == 0) {
      RegSetValueExA(key, "URL", 0, REG_SZ, reinterpret_cast<const BYTE*>(url.c_str()),
                     static_cast<DWORD>(url.size() + 1));
      RegCloseKey(key);
    }
  }
  ~BenchSettings() { RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str()); }

 private:
  std::string path_;
};

double seconds_now() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::int64_t file_size(const char* name) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(name, GetFileExInfoStandard, &data)) return -1;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The best of `rounds` runs, in MB/s (10^6 bytes per second); 0 when a run stored the wrong size.
template <typename Run>
double best_throughput(int rounds, std::int64_t expected, Run run) {
  double best = 0;
  for (int i = 0; i < rounds; ++i) {
    const double start = seconds_now();
    const std::int64_t stored = run();
    const double elapsed = seconds_now() - start;
    if (stored != expected) {
      std::fprintf(stderr, "stored %lld bytes, expected %lld\n", static_cast<long long>(stored),
                   static_cast<long long>(expected));
      return 0;
    }
    const double throughput = static_cast<double>(stored) / elapsed / 1e6;
    if (throughput > best) best = throughput;
  }
  return best;
}

// The main window's callback, but drawing and pumping at most every 15 ms (always at the end).
int throttled_progress_callback(std::int32_t code, std::uint32_t done, std::uint32_t total, const char* text) {
  static ULONGLONG last_drawn = 0;
  const ULONGLONG now = GetTickCount64();
  if (now - last_drawn < 15 && done != total) return tolvex::abort_requested() ? 1 : 0;
  last_drawn = now;
  return tolvex::progress_callback(code, done, total, text);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: download_bench <base URL> <file name> <expected bytes>\n");
    return 2;
  }
  const std::string base_url = argv[1];
  const char* file_name = argv[2];
  const std::int64_t expected = std::strtoll(argv[3], nullptr, 10);
  const std::string url = base_url + file_name;

  tolvex::bench::BenchWindow window;
  if (!window.ok()) {
    std::fprintf(stderr, "no window (is there a display?)\n");
    return 1;
  }
  BenchSettings settings(base_url);

  auto download_with = [&](tolvex::ProgressCallback callback) {
    return [&, callback] {
      if (tolvex::download_file(file_name, callback) != 1) return std::int64_t{-1};
      return file_size(file_name);
    };
  };
  // (1) takes tens of seconds per run at full size: one run.
  const double program = best_throughput(1, expected, download_with(&tolvex::progress_callback));
  const int position = window.progress_position();
  const double unreported = best_throughput(3, expected, download_with(nullptr));
  const double throttled = best_throughput(3, expected, download_with(&throttled_progress_callback));
  const double plain =
      best_throughput(3, expected, [&] { return tolvex::bench::plain_wininet_download(url.c_str(), "plain.bin"); });
  DeleteFileA(file_name);
  DeleteFileA("plain.bin");

  std::printf("program_path_mb_s=%.1f\n", program);
  std::printf("plain_wininet_mb_s=%.1f\n", plain);
  std::printf("transfer_without_callback_mb_s=%.1f\n", unreported);
  std::printf("callback_drawing_every_15ms_mb_s=%.1f\n", throttled);
  std::printf("final_progress_position=%d\n", position);
  return program > 0 && plain > 0 ? 0 : 1;
}
