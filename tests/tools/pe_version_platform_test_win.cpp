// The portable PE reader against the platform's own version functions (GetFileVersionInfoA and
// VerQueryValueA, through the updater's read_file_version) on the fixtures and on real Windows
// PE files shipped in Debian packages: both must give the same text.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "catalogue/version_text.h"
#include "fixtures/fixture_paths.h"
#include "support/temp_dir.h"
#include "tools/file_version_text.h"

namespace tolvex {
namespace {

std::string platform_text(const std::string& path) {
  char text[kVersionTextSize] = {};
  read_file_version(path.c_str(), text, sizeof text);
  return text;
}

std::string portable_text(const std::string& path) {
  return publish::file_version_text(path, "any.dll", publish::TimeZoneSetting()).text;
}

TEST(PeVersionAgainstThePlatform, AgreesOnEveryFixture) {
  for (const char* name :
       {"ver_1_0_0_1.dll", "ver_10_11_12_13.dll", "ver_0_0_0_0.dll", "ver_1_2_3_45.dll", "ver_max.dll", "ver_none.dll",
        "ver_2_0_2209_1800_exe.exe", "ver_2_0_2301_0100_exe.exe", "sibling_1_0_0_1.exe", "sibling_1_0_0_2.exe"}) {
    const std::string path = testing::fixture_path(name);
    EXPECT_EQ(portable_text(path), platform_text(path)) << name;
  }
  EXPECT_EQ(portable_text(testing::fixture_path("ver_1_2_3_45.dll")), "1,02,3,0045");
  EXPECT_EQ(portable_text(testing::fixture_path("ver_none.dll")), "-");
}

// Copied under names of their own, so that the platform reads these files and not a built-in
// module of the same name.
TEST(PeVersionAgainstThePlatform, AgreesOnRealWindowsFilesFromDebianPackages) {
  const char* files[] = {
      "/usr/x86_64-w64-mingw32/lib/zlib1.dll",
      "/usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll",
      "/usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll",
      "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll",
      "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/wininet.dll",
      "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/comctl32.dll",
      "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/notepad.exe",
      "/usr/lib/x86_64-linux-gnu/wine/i386-windows/version.dll",
      "/usr/lib/x86_64-linux-gnu/wine/i386-windows/shell32.dll",
  };
  testing::ScopedWorkDir dir;
  int compared = 0, with_version = 0;
  for (const char* unix_path : files) {
    std::string windows_path = std::string("Z:") + unix_path;
    for (char& c : windows_path)
      if (c == '/') c = '\\';
    const std::string copy = dir.path().string() + "\\copy" + std::to_string(compared) + ".dll";
    if (!CopyFileA(windows_path.c_str(), copy.c_str(), FALSE)) continue;
    ++compared;
    const std::string platform = platform_text(copy);
    EXPECT_EQ(portable_text(copy), platform) << unix_path;
    if (platform != "-") ++with_version;
  }
  if (compared == 0) GTEST_SKIP() << "no Windows PE files from Debian packages on this machine";
  EXPECT_GE(with_version, 1);
}

}  // namespace
}  // namespace tolvex
