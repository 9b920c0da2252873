// Archives written by jlha-utils, in every method and header level it offers, decoded by us.
#include <gtest/gtest.h>

#include <set>

#include "peer_tools.h"
#include "support/temp_dir.h"

namespace tolvex::lha {
namespace {

namespace fs = std::filesystem;
using namespace testing;

TEST(JlhaArchives, EveryMethodAndHeaderLevelDecodesByteForByte) {
  if (!have_program("jlha") || !have_program("java")) GTEST_SKIP() << "jlha-utils is not installed";
  tolvex::testing::ScopedWorkDir work;
  std::map<std::string, Bytes> inputs{
      {"text.txt", text_bytes(120000, 21)},
      {"noise.bin", random_bytes(40000, 22)},
      {"program.bin", read_bytes("/usr/bin/lhasa")},
      {"empty.dat", {}},
      {"one.dat", {'x'}},
      {"zeros.dat", Bytes(70000, 0)},
  };
  std::string names;
  for (const auto& [name, data] : inputs) {
    write_bytes(name, data);
    names += " " + name;
  }
  // jlha's switches: o5/o6/o7 choose the method, z stores, 0/1/2 choose the header level.
  const char* variants[] = {"a", "ao6", "ao7", "az", "a0", "a1", "a2", "ao70", "az1"};
  std::set<std::string> methods_seen;
  std::set<int> levels_seen;
  for (const char* variant : variants) {
    SCOPED_TRACE(variant);
    std::string archive = std::string("j-") + variant + ".lzh";
    ASSERT_EQ(run_quietly(std::string("jlha ") + variant + " " + archive + names), 0);
    Result end;
    auto members = decode_all(read_bytes(archive), &end);
    ASSERT_TRUE(end.ok()) << end.message;
    ASSERT_EQ(members.size(), inputs.size());
    for (const auto& member : members) {
      ASSERT_TRUE(member.result.ok()) << member.header.stored_path << ": " << member.result.message;
      EXPECT_EQ(member.data, inputs[member.header.file_name]) << member.header.stored_path;
      methods_seen.insert(member.header.method);
      levels_seen.insert(member.header.level);
    }
  }
  EXPECT_TRUE(methods_seen.count("-lh5-") && methods_seen.count("-lh6-") && methods_seen.count("-lh7-") &&
              methods_seen.count("-lh0-"));
  EXPECT_EQ(levels_seen, (std::set<int>{0, 1, 2}));
}

}  // namespace
}  // namespace tolvex::lha
