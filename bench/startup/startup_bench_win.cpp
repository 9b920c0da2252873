// Start-up time: from starting tolvex.exe until its window shows the 26 rows, against a peer, a
// minimal Win32 program (the sibling stand-in) until its window shows. Both start in the same
// folder, alternately, for ROUNDS rounds; each start prints one line, "tolvex <ms>" or
// "minimal <ms>", and scripts/bench-startup.sh takes the medians and their ratio.
//   startup_bench FOLDER ROUNDS
// FOLDER holds tolvex.exe with the stand-in suite and plo.exe (the stand-in sibling).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo_driver/app_driver_win.h"

namespace {

using tolvex::testing::ChildProcess;

double seconds_since(LARGE_INTEGER start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Starts `program`, waits until `ready` holds for its marked window, ends it; the seconds taken,
// or -1 when the window did not get ready within a minute. Polls every 5 ms (the tests' helper
// polls every 20 ms, too coarse a step for this).
template <typename Ready>
double time_start(const std::string& folder, const std::string& program, const char* marker, Ready ready) {
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  ChildProcess child(folder + "\\" + program, folder);
  HWND window = nullptr;
  double elapsed = -1;
  while (seconds_since(start) < 60) {
    window = tolvex::testing::wait_for_marked_window(child.id(), marker, 0);
    if (window != nullptr && ready(window)) {
      elapsed = seconds_since(start);
      break;
    }
    Sleep(5);
  }
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  if (!child.wait_for_exit(10000)) std::fprintf(stderr, "%s did not close\n", program.c_str());
  return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench FOLDER ROUNDS\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int rounds = std::max(1, std::atoi(argv[2]));
  for (int i = 0; i < rounds; ++i) {
    const double updater = time_start(folder, "tolvex.exe", "tolvex2.exe", [](HWND window) {
      return SendMessageA(GetDlgItem(window, 1004), LVM_GETITEMCOUNT, 0, 0) == 26;
    });
    const double peer =
        time_start(folder, "plo.exe", "plo2.exe", [](HWND window) { return IsWindowVisible(window) != 0; });
    if (updater < 0 || peer < 0) {
      std::fprintf(stderr, "round %d: %s window never got ready\n", i + 1, updater < 0 ? "tolvex.exe" : "plo.exe");
      return 1;
    }
    std::printf("tolvex %.3f\nminimal %.3f\n", updater * 1000, peer * 1000);
    std::fflush(stdout);
  }
  return 0;
}
