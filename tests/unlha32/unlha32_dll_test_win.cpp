// UNLHA32.dll loaded as the updater loads it: LoadLibraryA by name, the entry by ordinal 1,
// called with "e -mc -n1 -jse2 <archive> *.*" in the folder that receives the files.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

#include "archive_bytes.h"
#include "base/unique_file.h"
#include "lha/archive_writer.h"
#include "lha/detail/member_header.h"
#include "support/temp_dir.h"
#include "unlha32/archive_command.h"
#include "unlha32/unlha32_win.h"
#include "win/scoped_win.h"

namespace {

namespace fs = std::filesystem;
using tolvex::testing::read_file;
using tolvex::testing::write_file;
using Entry = tolvex::UnlhaEntry;
using tolvex::unlha32::kCannotWrite;
using tolvex::unlha32::kSuccess;
using Bytes = std::vector<std::uint8_t>;

Bytes bytes_of(const std::string& text) { return Bytes(text.begin(), text.end()); }
std::string text_of(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string pattern_text(std::size_t size, int seed) {
  std::string text;
  for (std::size_t i = 0; text.size() < size; ++i)
    text += "entry " + std::to_string((i * 7919 + seed) % 1000) + " of the list\r\n";
  text.resize(size);
  return text;
}

std::string executable_folder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path().string();
}

// Names as the ANSI API sees them (code page 932 bytes).
std::set<std::string> folder_entries(const std::string& folder) {
  std::set<std::string> names;
  struct SearchOwner {
    HANDLE handle;
    ~SearchOwner() {
      if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
    }
  };
  WIN32_FIND_DATAA found;
  SearchOwner search{FindFirstFileA((folder + "\\*").c_str(), &found)};
  if (search.handle == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = found.cFileName;
    if (name != "." && name != "..") names.insert(name);
  } while (FindNextFileA(search.handle, &found));
  return names;
}

std::string read_ansi(const std::string& name) {
  std::string content;
  if (tolvex::UniqueFile file = tolvex::open_file(name, "rb")) {
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) content.append(chunk, got);
  }
  return content;
}

void write_archive(const std::string& name, const std::vector<tolvex::lha::ArchiveMember>& members) {
  ASSERT_TRUE(tolvex::lha::write_archive_file(name, members).ok());
}

// A level-0 member with any stored name (our writer would not write hostile names).
Bytes level0_member(const std::string& name, const std::string& data) {
  const Bytes bytes(data.begin(), data.end());
  return tolvex::lha::testing::level0_member("-lh0-", name, bytes, tolvex::lha::crc16(bytes.data(), bytes.size()));
}

class Unlha32Dll : public ::testing::Test {
 protected:
  void SetUp() override {
    entry_ = reinterpret_cast<Entry>(reinterpret_cast<void*>(module_.entry(tolvex::kUnlhaEntryOrdinal)));
    ASSERT_NE(entry_, nullptr) << "UNLHA32.dll or its entry not found next to the test";
  }

  int run(const std::string& command, std::string* report = nullptr) {
    char output[4096];
    std::memset(output, 'X', sizeof output);
    int rc = entry_(nullptr, command.c_str(), output, sizeof output);
    EXPECT_NE(std::memchr(output, '\0', sizeof output), nullptr) << "report not terminated";
    if (report) *report = output;
    return rc;
  }
  int extract(const std::string& archive, std::string* report = nullptr) {
    return run("e -mc -n1 -jse2 " + archive + " *.*", report);
  }

  tolvex::LoadedLibrary module_{"UNLHA32.dll"};
  Entry entry_ = nullptr;
  tolvex::testing::ScopedWorkDir work_;
};

TEST_F(Unlha32Dll, TheEntryIsAlsoExportedByName) {
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(module_.get(), "Unlha")), reinterpret_cast<void*>(entry_));
}

TEST_F(Unlha32Dll, ExtractsOurArchiveIntoTheCurrentFolderUnderBareNames) {
  std::string big = pattern_text(300000, 1);
  std::string japanese_name = "\x95\x5C\x8E\xA6.txt";  // 表示.txt: the first trail byte is 0x5C
  write_archive("UPDATE.LZH", {{"TOLVEX.EX_", bytes_of(big), 1700000000u, tolvex::lha::Method::kLh5},
                               {"sub\\dir\\notes.txt", bytes_of("in a folder\r\n"), 0, tolvex::lha::Method::kLh5},
                               {japanese_name, bytes_of("cp932 name"), 0, tolvex::lha::Method::kStored},
                               {"empty.dat", {}, 0, tolvex::lha::Method::kLh5}});
  write_file("TOLVEX.EX_", "stale content that must be replaced");
  std::string report;
  EXPECT_EQ(extract("UPDATE.LZH", &report), kSuccess) << report;
  EXPECT_EQ(read_file("TOLVEX.EX_"), big);
  EXPECT_EQ(read_file("notes.txt"), "in a folder\r\n");
  EXPECT_EQ(read_ansi(japanese_name), "cp932 name");
  EXPECT_TRUE(fs::exists("empty.dat"));
  EXPECT_EQ(folder_entries("."),
            (std::set<std::string>{"UPDATE.LZH", "TOLVEX.EX_", "notes.txt", japanese_name, "empty.dat"}));
  EXPECT_NE(report.find("4 extracted"), std::string::npos) << report;
}

TEST_F(Unlha32Dll, ExtractsAnArchiveMadeByJlhaThroughAQuotedShortOrLongPath) {
  fs::create_directories("long folder name");
  fs::copy_file(fs::path(executable_folder()) / "jlha_lh5.lzh", "long folder name\\jlha archive.lzh");
  std::string alpha, beta;
  for (int i = 1; i <= 1500; ++i) alpha += "line " + std::to_string(i) + " of the jlha sample\r\n";
  for (int i = 0; i < 6000; ++i) beta += static_cast<char>((i * i + 7 * i) % 251);
  EXPECT_EQ(extract("\"long folder name\\jlha archive.lzh\""), kSuccess);
  EXPECT_EQ(read_file("alpha.txt"), alpha);
  EXPECT_EQ(read_file("beta.bin"), beta);
  fs::remove("alpha.txt");
  char short_path[MAX_PATH] = {};
  if (GetShortPathNameA("long folder name\\jlha archive.lzh", short_path, MAX_PATH) > 0) {
    EXPECT_EQ(extract(short_path), kSuccess) << short_path;
    EXPECT_EQ(read_file("alpha.txt"), alpha);
  }
}

TEST_F(Unlha32Dll, PatternsSelectMembersAndAnOutputFolderReceivesThem) {
  write_archive("m.lzh", {{"a.txt", bytes_of("A"), 0, tolvex::lha::Method::kLh5},
                          {"b.bin", bytes_of("B"), 0, tolvex::lha::Method::kLh5}});
  EXPECT_EQ(run("e -mc m.lzh *.txt"), kSuccess);
  EXPECT_TRUE(fs::exists("a.txt"));
  EXPECT_FALSE(fs::exists("b.bin"));
  fs::create_directories("out");
  EXPECT_EQ(run("e m.lzh out\\ *.*"), kSuccess);
  EXPECT_EQ(read_file("out\\b.bin"), "B");
}

TEST_F(Unlha32Dll, HostileNamesAreRefusedAndNothingLandsOutsideTheFolder) {
  fs::create_directories("inner");
  fs::current_path("inner");
  Bytes archive;
  for (const auto& [name, data] :
       std::vector<std::pair<std::string, std::string>>{{"..\\..\\escaped.txt", "kept inside"},
                                                        {"..", "dots"},
                                                        {"C:evil.txt", "drive relative"},
                                                        {"CON", "device"},
                                                        {"nul.txt", "device with extension"},
                                                        {"a\x1b]2;x\x07", "control characters"},
                                                        {"ok.txt", "fine"}}) {
    Bytes member = level0_member(name, data);
    archive.insert(archive.end(), member.begin(), member.end());
  }
  archive.push_back(0);
  write_file("hostile.lzh", text_of(archive));
  std::string report;
  EXPECT_NE(extract("hostile.lzh", &report), kSuccess);
  EXPECT_EQ(folder_entries("."), (std::set<std::string>{"hostile.lzh", "escaped.txt", "ok.txt"}));
  EXPECT_EQ(read_file("escaped.txt"), "kept inside");
  EXPECT_EQ(folder_entries(".."), std::set<std::string>{"inner"});
  EXPECT_NE(report.find("unsafe name"), std::string::npos) << report;
}

TEST_F(Unlha32Dll, CorpusRegressionArchivesStayInsideTheFolder) {
  std::string corpus = TOLVEX_LHA_CORPUS "/regression";
  std::string windows_corpus = "Z:" + corpus;
  for (char& c : windows_corpus) {
    if (c == '/') c = '\\';
  }
  ASSERT_TRUE(fs::is_directory(windows_corpus))
      << "the LHA corpus (archives made by other LHA tools, kept beside the checkout) is missing: looked for "
      << windows_corpus;
  fs::create_directories("inner");
  fs::current_path("inner");
  for (const auto& entry : fs::directory_iterator(windows_corpus)) {
    SCOPED_TRACE(entry.path().string());
    extract("\"" + entry.path().string() + "\"");
    for (const auto& name : folder_entries(".")) {  // includes what earlier archives left
      EXPECT_EQ(name.find_first_of("\\/:"), std::string::npos) << name;
      EXPECT_EQ(name.rfind("lha", 0) == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".tmp", false) << name;
    }
    EXPECT_EQ(folder_entries(".."), std::set<std::string>{"inner"});
  }
  // truncated.lzh: damaged, so its member never appears.
  for (const auto& name : folder_entries(".")) EXPECT_NE(tolvex::testing::read_file(name), "") << name;
}

TEST_F(Unlha32Dll, CorruptOrTruncatedMemberLeavesNoFileUnderItsNameAndKeepsTheOldOne) {
  std::string text = pattern_text(50000, 2);
  write_archive("good.lzh", {{"report.txt", bytes_of(text), 0, tolvex::lha::Method::kLh5}});
  std::string archive = read_file("good.lzh");
  std::string corrupt = archive;
  corrupt[corrupt.size() - 40] ^= 0x21;
  write_file("corrupt.lzh", corrupt);
  write_file("truncated.lzh", archive.substr(0, archive.size() / 2));

  EXPECT_NE(extract("corrupt.lzh"), kSuccess);
  EXPECT_NE(extract("truncated.lzh"), kSuccess);
  EXPECT_EQ(folder_entries("."), (std::set<std::string>{"good.lzh", "corrupt.lzh", "truncated.lzh"}));

  write_file("report.txt", "previous version");
  EXPECT_NE(extract("corrupt.lzh"), kSuccess);
  EXPECT_EQ(read_file("report.txt"), "previous version");
  EXPECT_EQ(extract("good.lzh"), kSuccess);
  EXPECT_EQ(read_file("report.txt"), text);
  EXPECT_EQ(folder_entries(".").size(), 4u);  // no temporary files left behind
}

TEST_F(Unlha32Dll, MembersTooLargeForTheDiskOrWithoutACrcAreRefusedBeforeAnythingIsWritten) {
  namespace lt = tolvex::lha::testing;
  const Bytes stream = lt::lh5_bomb_stream(256);
  Bytes sizes(16, 0);
  tolvex::lha::store_le16(sizes.data(), static_cast<std::uint16_t>(stream.size()));
  sizes[8 + 5] = 1;  // 2^40 bytes: no test machine has that much free
  Bytes archive = lt::level2_member("-lh5-", "huge.___", stream, 0, 'U', {{0x42, sizes}});
  for (bool stray_byte : {false, true}) {
    Bytes unchecked = lt::level0_member_without_crc("-lh0-", stray_byte ? "b.___" : "a.___",
                                                    bytes_of("sixteen bytes!!!"), stray_byte);
    archive.insert(archive.end(), unchecked.begin(), unchecked.end());
  }
  Bytes good = level0_member("ok.txt", "fine");
  archive.insert(archive.end(), good.begin(), good.end());
  archive.push_back(0);
  write_file("bomb.lzh", text_of(archive));
  std::string report;
  EXPECT_EQ(extract("bomb.lzh", &report), kCannotWrite) << report;  // the disk check
  EXPECT_EQ(folder_entries("."), (std::set<std::string>{"bomb.lzh", "ok.txt"}));
  EXPECT_NE(report.find("huge.___: 1099511627776 bytes do not fit in the free disk space"), std::string::npos)
      << report;
  EXPECT_NE(report.find("a.___: no CRC in its header, not extracted"), std::string::npos) << report;
  EXPECT_NE(report.find("b.___: no CRC"), std::string::npos) << report;
  EXPECT_NE(report.find("1 extracted, 3 failed"), std::string::npos) << report;
}

TEST_F(Unlha32Dll, ArchivesFromOs9AndAmigaExtract) {
  namespace lt = tolvex::lha::testing;
  const Bytes os9 = bytes_of("from OS-9"), amiga = bytes_of("from an Amiga");
  Bytes archive = lt::level2_member("-lh0-", "os9.txt", os9, tolvex::lha::crc16(os9.data(), os9.size()), 'K', {}, 2);
  for (const Bytes& member : {lt::level0_member("-lh0-", "docs/", {}, 0),
                              lt::level0_member("-lh0-", std::string("docs/amiga.txt\0a comment", 24), amiga,
                                                tolvex::lha::crc16(amiga.data(), amiga.size()))})
    archive.insert(archive.end(), member.begin(), member.end());
  archive.push_back(0);
  write_file("foreign.lzh", text_of(archive));
  std::string report;
  EXPECT_EQ(extract("foreign.lzh", &report), kSuccess) << report;
  EXPECT_EQ(read_file("os9.txt"), "from OS-9");
  EXPECT_EQ(read_file("amiga.txt"), "from an Amiga");
  EXPECT_EQ(folder_entries(".").size(), 3u);
}

TEST_F(Unlha32Dll, MissingArchiveAndBadCommandsFail) {
  std::string report;
  EXPECT_NE(extract("NOSUCH.LZH", &report), kSuccess);
  EXPECT_NE(report.find("NOSUCH.LZH"), std::string::npos);
  EXPECT_NE(run("", &report), kSuccess);
  EXPECT_NE(run("e -mc -n1 -jse2", &report), kSuccess);
  EXPECT_NE(entry_(nullptr, nullptr, nullptr, 0), kSuccess);
  write_file("junk.lzh", "this is not an archive");
  EXPECT_NE(extract("junk.lzh"), kSuccess);
}

TEST_F(Unlha32Dll, TinyOutputBuffersAreNeverOverrun) {
  write_archive("t.lzh", {{"x.txt", bytes_of("x"), 0, tolvex::lha::Method::kLh5}});
  for (DWORD size : {0u, 1u, 2u, 5u, 17u}) {
    SCOPED_TRACE(size);
    char buffer[64];
    std::memset(buffer, 'C', sizeof buffer);
    EXPECT_EQ(entry_(nullptr, "e -mc -n1 -jse2 t.lzh *.*", buffer, size), kSuccess);
    for (std::size_t i = size; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 'C') << "canary at " << i;
    if (size > 0) {
      EXPECT_NE(std::memchr(buffer, '\0', size), nullptr);
    }
    EXPECT_NE(entry_(nullptr, "e -mc -n1 -jse2 missing-archive-with-a-long-name.lzh *.*", buffer, size), kSuccess);
    for (std::size_t i = size; i < sizeof buffer; ++i) ASSERT_EQ(buffer[i], 'C') << "canary at " << i;
  }
  EXPECT_EQ(entry_(nullptr, "e -mc -n1 -jse2 t.lzh *.*", nullptr, 100), kSuccess);
}

}  // namespace
