// One timed download of a file from a local server, by one of the contenders of
// scripts/bench-download.sh, which runs them in alternation and adds curl:
//   program    the updater's download_file with the main window's progress callback, drawing into
//              a real window (a report and an abort check per 1023 bytes);
//   plain      a plain WinInet loop reading 64 KiB blocks, no window;
//   bare       download_file with no callback at all: what the program's path costs without
//              its reports.
//   download_bench <contender> <base URL ending in "/"> <file name> <expected bytes>
// Prints "mb_s=<MB/s>" (10^6 bytes per second, the transfer only, not the process start-up).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/download/bench_window_win.h"
#include "bench/download/plain_wininet_download.h"
#include "net/update_transfers.h"
#include "trust/cng_crypto_win.h"
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: download_bench program|signed|plain|bare <base URL> <file name> <expected bytes>\n");
    return 2;
  }
  const std::string contender = argv[1];
  const std::string base_url = argv[2];
  const char* file_name = argv[3];
  const std::int64_t expected = std::strtoll(argv[4], nullptr, 10);
  const std::string url = base_url + file_name;

  if (contender != "program" && contender != "signed" && contender != "plain" && contender != "bare") {
    std::fprintf(stderr, "unknown contender %s\n", contender.c_str());
    return 2;
  }
  // Only the program's path gets a window, made before the clock starts.
  const bool with_window = contender == "program" || contender == "signed";
  const tolvex::ProgressCallback callback = with_window ? &tolvex::progress_callback : nullptr;
  std::unique_ptr<tolvex::bench::BenchWindow> window;
  if (callback != nullptr) {
    window = std::make_unique<tolvex::bench::BenchWindow>();
    if (!window->ok()) {
      std::fprintf(stderr, "no window (is there a display?)\n");
      return 1;
    }
  }
  BenchSettings settings(base_url);

  std::int64_t stored = -1;
  const double start = seconds_now();
  if (contender == "plain") {
    stored = tolvex::bench::plain_wininet_download(url.c_str(), file_name);
  } else if (contender == "signed") {
    // What a build with keys adds: every byte written is hashed on the way.
    tolvex::trust::Sha256Stream hash;
    tolvex::trust::Sha256 digest{};
    auto written = [&](const char* bytes, std::size_t length) { hash.update(bytes, length); };
    if (tolvex::download_file(file_name, callback, written) == 1 && hash.finish(digest)) stored = file_size(file_name);
  } else if (tolvex::download_file(file_name, callback) == 1) {
    stored = file_size(file_name);
  }
  const double elapsed = seconds_now() - start;
  DeleteFileA(file_name);
  if (stored != expected) {
    std::fprintf(stderr, "%s: stored %lld bytes, expected %lld\n", contender.c_str(), static_cast<long long>(stored),
                 static_cast<long long>(expected));
    return 1;
  }
  // The reports must have reached the window, or (1) measured less than the program does.
  if (window != nullptr && window->progress_position() == 0) {
    std::fprintf(stderr, "program: the progress bar never moved\n");
    return 1;
  }
  std::printf("mb_s=%.3f\n", static_cast<double>(stored) / elapsed / 1e6);
  return 0;
}
