// Every archive of the shared corpus (written by other LHA tools) against lhasa's extraction.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "lha/detail/member_header.h"
#include "peer_tools.h"
#include "support/temp_dir.h"

namespace tolvex::lha {
namespace {

namespace fs = std::filesystem;
using namespace testing;

fs::path corpus() { return fs::path(TOLVEX_LHA_CORPUS); }

// Without the corpus the comparison would pass having compared nothing: its absence fails.
::testing::AssertionResult corpus_present() {
  if (fs::is_directory(corpus())) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the LHA corpus (archives made by other LHA tools, kept beside the "
                                          "checkout) is missing: looked for "
                                       << corpus();
}

std::vector<fs::path> corpus_archives(bool hostile) {
  std::vector<fs::path> found;
  for (const auto& entry : fs::recursive_directory_iterator(corpus())) {
    if (entry.path().extension() != ".lzh") continue;
    if ((entry.path().parent_path().filename() == "regression") == hostile) found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

TEST(CorpusAgainstLhasa, EveryMemberWeReadMatchesLhasaByteForByte) {
  ASSERT_TRUE(corpus_present());
  if (!have_program("lhasa")) GTEST_SKIP() << "lhasa is not installed";
  tolvex::testing::ScopedWorkDir work;
  int compared = 0, unsupported = 0, unreadable_for_lhasa = 0;
  for (const fs::path& archive : corpus_archives(false)) {
    SCOPED_TRACE(archive.string());
    fs::path peer_dir = work.path() / ("peer-" + std::to_string(compared + unsupported));
    fs::create_directories(peer_dir);
    ASSERT_EQ(run_quietly("cd " + quoted(peer_dir) + " && lhasa -xqf " + quoted(archive)), 0);
    auto peer_files = regular_files_by_lower_name(peer_dir);
    // lhasa lists one of the Unix tool's level-0 archives as empty; our CRC check stands alone there.

    Result end;
    auto members = decode_all(read_bytes(archive), &end);
    ASSERT_TRUE(end.ok()) << end.message;
    for (const auto& member : members) {
      if (member.header.is_directory) continue;
      if (member.result.status == Status::kUnsupportedMethod) {
        ++unsupported;
        continue;
      }
      ASSERT_TRUE(member.result.ok()) << member.header.stored_path << ": " << member.result.message;
      std::string name = lower(last_path_component(member.header.stored_path));
      if (peer_files.empty()) {
        ++unreadable_for_lhasa;
        continue;
      }
      ASSERT_EQ(peer_files.count(name), 1u) << name;
      EXPECT_EQ(member.data, peer_files[name]) << name;
      ++compared;
    }
  }
  EXPECT_GE(compared, 40);
  EXPECT_LE(unreadable_for_lhasa, 1);
  EXPECT_EQ(unsupported, 3);  // the three -lh1- archives
}

TEST(CorpusHostile, NamesAreReducedToSafeBareNamesAndDamageIsReported) {
  ASSERT_TRUE(corpus_present());
  std::map<std::string, std::vector<std::string>> names;
  std::map<std::string, bool> failed;
  for (const fs::path& archive : corpus_archives(true)) {
    Result end;
    auto members = decode_all(read_bytes(archive), &end);
    std::string key = archive.filename().string();
    failed[key] = !end.ok();
    for (const auto& member : members) {
      if (member.header.is_directory) continue;
      names[key].push_back(member.header.file_name);
      if (!member.result.ok()) failed[key] = true;
      const std::string& bare = member.header.file_name;
      EXPECT_TRUE(bare.empty() || is_safe_file_name(bare)) << key;
      EXPECT_EQ(bare.find_first_of("/\\:"), std::string::npos) << key;
    }
  }
  EXPECT_EQ(names["abspath.lzh"], std::vector<std::string>{"absolute_path.txt"});
  EXPECT_EQ(names["dotdot.lzh"], (std::vector<std::string>{"evil1.txt", "evil2.txt"}));
  EXPECT_EQ(names["unixsep.lzh"], std::vector<std::string>{"HELLO.TXT"});
  EXPECT_EQ(names["badterm.lzh"], std::vector<std::string>{""});         // control characters: refused
  EXPECT_EQ(names["symlink2.lzh"], std::vector<std::string>{"passwd"});  // the link itself is skipped
  EXPECT_TRUE(failed["truncated.lzh"]);
  EXPECT_FALSE(failed["multiple.lzh"]);
  EXPECT_EQ(names["multiple.lzh"].size(), 5u);
}

}  // namespace
}  // namespace tolvex::lha
