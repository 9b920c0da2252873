// Start-up time: from starting tolvex.exe until its window shows the 26 rows, against a peer, a
// minimal Win32 program (the sibling stand-in) until its window shows. Both start in the same
// folder, alternately, several times; the medians and their ratio are printed.
//   startup_bench FOLDER RUNS
// FOLDER holds tolvex.exe with the stand-in suite and plo.exe (the stand-in sibling).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/app_driver.h"

namespace {

using tolvex::testing::ChildProcess;

double seconds_since(LARGE_INTEGER start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts `program`, waits until `ready` holds for its marked window, ends it; the seconds taken.
template <typename Ready>
double time_start(const std::string& folder, const std::string& program, const char* marker, Ready ready) {
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  ChildProcess child(folder + "\\" + program, folder);
  HWND window = nullptr;
  tolvex::testing::wait_until(
      [&] {
        window = tolvex::testing::wait_for_marked_window(child.id(), marker, 0);
        return window != nullptr && ready(window);
      },
      60000);
  const double elapsed = seconds_since(start);
  PostMessageA(window, WM_CLOSE, 0, 0);
  child.wait_for_exit(10000);
  return elapsed;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench FOLDER RUNS\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int runs = std::max(1, std::atoi(argv[2]));
  std::vector<double> updater, peer;
  for (int i = 0; i < runs; ++i) {
    updater.push_back(time_start(folder, "tolvex.exe", "tolvex2.exe", [](HWND window) {
      return SendMessageA(GetDlgItem(window, 1004), LVM_GETITEMCOUNT, 0, 0) == 26;
    }));
    peer.push_back(time_start(folder, "plo.exe", "plo2.exe", [](HWND window) { return IsWindowVisible(window) != 0; }));
  }
  const double updater_median = median(updater);
  const double peer_median = median(peer);
  std::printf("start-up until the window shows, median of %d runs:\n", runs);
  std::printf("  tolvex.exe (26 rows listed)     : %7.1f ms\n", updater_median * 1000);
  std::printf("  minimal Win32 window (peer)     : %7.1f ms\n", peer_median * 1000);
  std::printf("  ratio tolvex / peer             : %7.2f\n", updater_median / peer_median);
  return 0;
}
