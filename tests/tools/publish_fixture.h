#pragma once
// A release folder of stand-in files in a fresh working folder, and the tool run in-process on
// real folders, for the tests of publish, verify and diff.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/time_setting.h"
#include "tools/command_line.h"
#include "tools/pe_image_builder.h"

namespace tolvex::testing {

struct ToolRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

inline ToolRun run_publisher(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  publish::Progress quiet(false);
  ToolRun run;
  run.exit_code = publish::run_tool(arguments, out, err, quiet);
  run.out = out.str();
  run.err = err.str();
  return run;
}

inline std::string pe_file(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
  std::vector<std::uint8_t> image =
      build_pe_image(static_cast<std::uint32_t>(a) << 16 | b, static_cast<std::uint32_t>(c) << 16 | d);
  image.resize(image.size() + 4096, 0x5A);  // some compressible body
  return std::string(image.begin(), image.end());
}

class PublishFolders : public ::testing::Test {
 protected:
  // Puts `bytes` into the release folder as `name`, last modified at a fixed time.
  void release(const std::string& name, const std::string& bytes, int year = 2024, int month = 3, int day = 1,
               int hour = 12) {
    std::filesystem::create_directories("release");
    write_file("release/" + name, bytes);
    set_modification_time_utc("release/" + name, year, month, day, hour, 30);
  }
  // A release of three programs and libraries and the help file.
  void typical_release() {
    release("vemoda.dll", pe_file(1, 2, 3, 45));
    release("plo.exe", pe_file(1, 0, 0, 2));
    release("tolvex.exe", pe_file(2, 0, 2301, 100));
    release("rova.chm", std::string(3000, 'h'), 2010, 1, 6, 23);  // 2010-01-07 08:30 in Japan
  }
  ToolRun publish_to(const std::string& out, std::vector<std::string> options = {}) {
    std::vector<std::string> arguments{"publish"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.push_back("release");
    arguments.push_back(out);
    return run_publisher(arguments);
  }
  ToolRun verify(const std::string& out) { return run_publisher({"verify", out}); }

  ScopedWorkDir dir_;
};

}  // namespace tolvex::testing
