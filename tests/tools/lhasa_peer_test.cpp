// Every archive publish writes is listed and extracted by an independent LHA implementation
// (Debian's lhasa) to the same bytes as the release file.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "tools/publish_fixture.h"

namespace tolvex::testing {
namespace {

struct PipeCloser {
  void operator()(std::FILE* pipe) const { pclose(pipe); }
};

std::string output_of(const std::string& command) {
  std::unique_ptr<std::FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
  std::string text;
  char buffer[4096];
  for (std::size_t got; pipe && (got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) text.append(buffer, got);
  return text;
}

using LhasaPeer = PublishFolders;

TEST_F(LhasaPeer, ListsAndExtractsEveryPublishedArchive) {
  if (!std::filesystem::exists("/usr/bin/lhasa")) GTEST_SKIP() << "lhasa is not installed";
  typical_release();
  const char* real = "/usr/x86_64-w64-mingw32/lib/zlib1.dll";
  if (std::filesystem::exists(real)) {
    std::filesystem::copy_file(real, "release/nuri.dll");  // a real library of some size
  }
  ToolRun run = publish_to("out");
  ASSERT_EQ(run.exit_code, 0) << run.err;

  int archives = 0;
  for (const auto& entry : std::filesystem::directory_iterator("release")) {
    const std::string name = entry.path().filename().string();
    const std::string base = name.substr(0, name.rfind('.'));
    const std::string archive = "out/" + base + ".lzh";
    const std::string folder = "extracted-" + base;
    ++archives;
    EXPECT_NE(output_of("lhasa -lq " + archive + " 2>&1").find(base + ".___"), std::string::npos) << archive;
    std::filesystem::create_directory(folder);
    ASSERT_EQ(std::system(("lhasa -xqw=" + folder + " " + archive + " >/dev/null 2>&1").c_str()), 0) << archive;
    EXPECT_EQ(read_file(folder + "/" + base + ".___"), read_file("release/" + name)) << archive;
    std::size_t extracted = 0;
    for (auto it = std::filesystem::directory_iterator(folder); it != std::filesystem::directory_iterator(); ++it)
      ++extracted;
    EXPECT_EQ(extracted, 1u) << archive;
  }
  EXPECT_GE(archives, 4);
}

}  // namespace
}  // namespace tolvex::testing
