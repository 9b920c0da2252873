// The portable PE version reader: built images of both header kinds, every kind of damage at the
// offsets the reader follows, and real Windows PE files shipped in Debian packages.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue/pe_version_reader.h"
#include "tools/pe_image_builder.h"

namespace tolvex::publish {
namespace {

using testing::build_pe_image;
using testing::PeImageOffsets;
using testing::PeImageShape;
using testing::put_u16;
using testing::put_u32;

PeVersionStatus read(const std::vector<std::uint8_t>& bytes, FixedFileVersion& version) {
  return read_pe_file_version(bytes.data(), bytes.size(), version);
}

PeVersionStatus read(const std::vector<std::uint8_t>& bytes) {
  FixedFileVersion version;
  return read(bytes, version);
}

TEST(PeVersionReader, ReadsTheFixedFileVersionOfBothHeaderKinds) {
  for (bool plus : {true, false}) {
    PeImageShape shape;
    shape.pe32_plus = plus;
    FixedFileVersion version;
    ASSERT_EQ(read(build_pe_image(0x000A000B, 0x000C000D, shape), version), PeVersionStatus::kOk) << plus;
    EXPECT_EQ(version.file_version_ms, 0x000A000Bu);
    EXPECT_EQ(version.file_version_ls, 0x000C000Du);
  }
}

TEST(PeVersionReader, FindsResourcesInASectionAtAnyAddressAndUnderAnotherName) {
  PeImageShape shape;
  shape.section_rva = 0x7F000;
  shape.version_name = 7;  // no name 1: the first name is taken
  FixedFileVersion version;
  ASSERT_EQ(read(build_pe_image(0x00010002, 0x0003002D, shape), version), PeVersionStatus::kOk);
  EXPECT_EQ(version.file_version_ls, 0x0003002Du);
}

TEST(PeVersionReader, TellsFilesWithoutVersionInformationApart) {
  EXPECT_EQ(read({}), PeVersionStatus::kNotPe);
  EXPECT_EQ(read(std::vector<std::uint8_t>{'M', 'Z'}), PeVersionStatus::kNotPe);
  std::vector<std::uint8_t> text(4096, 'x');
  EXPECT_EQ(read(text), PeVersionStatus::kNotPe);

  PeImageShape shape;
  shape.with_resources = false;
  EXPECT_EQ(read(build_pe_image(1, 1, shape)), PeVersionStatus::kNoResources);

  auto other_type = build_pe_image(1, 1);
  put_u32(other_type, PeImageOffsets::kRootDirectory + 16, 3);  // RT_ICON only
  EXPECT_EQ(read(other_type), PeVersionStatus::kNoVersion);
}

TEST(PeVersionReader, RejectsEveryTruncation) {
  const auto image = build_pe_image(0x00010000, 0x00000001);
  const std::size_t needed = PeImageOffsets::kVersionBlock + 92;
  for (std::size_t size = 0; size < needed; ++size) {
    std::vector<std::uint8_t> cut(image.begin(), image.begin() + size);
    EXPECT_NE(read(cut), PeVersionStatus::kOk) << size;
  }
}

TEST(PeVersionReader, RejectsHeadersThatPointOutsideTheFile) {
  const bool plus = true;
  auto lfanew = build_pe_image(1, 1);
  put_u32(lfanew, 0x3C, 0xFFFFFFF0u);
  EXPECT_EQ(read(lfanew), PeVersionStatus::kNotPe);

  auto sections = build_pe_image(1, 1);
  put_u16(sections, PeImageOffsets::kPeHeader + 6, 0xFFFF);
  EXPECT_EQ(read(sections), PeVersionStatus::kBadHeaders);

  auto optional = build_pe_image(1, 1);
  put_u16(optional, PeImageOffsets::kPeHeader + 20, 0xFFFF);
  EXPECT_EQ(read(optional), PeVersionStatus::kBadHeaders);

  auto magic = build_pe_image(1, 1);
  put_u16(magic, PeImageOffsets::kOptionalHeader, 0x0107);
  EXPECT_EQ(read(magic), PeVersionStatus::kBadHeaders);

  auto few_directories = build_pe_image(1, 1);
  put_u32(few_directories, PeImageOffsets::kOptionalHeader + 108, 2);
  EXPECT_EQ(read(few_directories), PeVersionStatus::kNoResources);

  auto unmapped = build_pe_image(1, 1);
  put_u32(unmapped, PeImageOffsets::resource_directory_entry(plus), 0x90000000u);
  EXPECT_EQ(read(unmapped), PeVersionStatus::kBadResources);

  auto raw_offset = build_pe_image(1, 1);
  put_u32(raw_offset, PeImageOffsets::section_table(plus) + 20, 0xFFFFFF00u);
  EXPECT_EQ(read(raw_offset), PeVersionStatus::kBadResources);
}

TEST(PeVersionReader, RejectsHostileResourceDirectories) {
  auto counts = build_pe_image(1, 1);
  put_u16(counts, PeImageOffsets::kRootDirectory + 12, 0xFFFF);
  put_u16(counts, PeImageOffsets::kRootDirectory + 14, 0xFFFF);
  EXPECT_EQ(read(counts), PeVersionStatus::kBadResources);

  auto far_directory = build_pe_image(1, 1);
  put_u32(far_directory, PeImageOffsets::kRootDirectory + 20, 0xFFFFFFFFu);
  EXPECT_EQ(read(far_directory), PeVersionStatus::kBadResources);

  // The name level points back at the type level: the walk ends after three links.
  auto loop = build_pe_image(1, 1);
  put_u32(loop, PeImageOffsets::kRootDirectory + 20, 0x80000000u);
  EXPECT_NE(read(loop), PeVersionStatus::kOk);
  auto self = build_pe_image(1, 1);
  put_u32(self, PeImageOffsets::kNameDirectory + 20, 0x80000000u | 0x18);
  EXPECT_NE(read(self), PeVersionStatus::kOk);

  auto leaf_at_type_level = build_pe_image(1, 1);
  put_u32(leaf_at_type_level, PeImageOffsets::kRootDirectory + 20, 0x48);
  EXPECT_EQ(read(leaf_at_type_level), PeVersionStatus::kBadResources);

  auto data_entry = build_pe_image(1, 1);
  put_u32(data_entry, PeImageOffsets::kLanguageDirectory + 20, 0x7FFFFFF0u);
  EXPECT_EQ(read(data_entry), PeVersionStatus::kBadResources);
}

TEST(PeVersionReader, RejectsDamagedVersionBlocks) {
  auto huge_size = build_pe_image(1, 1);
  put_u32(huge_size, PeImageOffsets::kDataEntry + 4, 0xFFFFFFFFu);
  EXPECT_EQ(read(huge_size), PeVersionStatus::kBadVersionBlock);

  auto far_rva = build_pe_image(1, 1);
  put_u32(far_rva, PeImageOffsets::kDataEntry, 0xFFFFFFF0u);
  EXPECT_EQ(read(far_rva), PeVersionStatus::kBadVersionBlock);

  auto short_block = build_pe_image(1, 1);
  put_u16(short_block, PeImageOffsets::kVersionBlock, 60);  // ends inside VS_FIXEDFILEINFO
  EXPECT_EQ(read(short_block), PeVersionStatus::kBadVersionBlock);

  auto long_block = build_pe_image(1, 1);
  put_u16(long_block, PeImageOffsets::kVersionBlock, 0xFFFF);  // longer than the resource
  EXPECT_EQ(read(long_block), PeVersionStatus::kBadVersionBlock);

  auto key = build_pe_image(1, 1);
  put_u16(key, PeImageOffsets::kVersionBlock + 6, 'X');
  EXPECT_EQ(read(key), PeVersionStatus::kBadVersionBlock);

  auto signature = build_pe_image(1, 1);
  put_u32(signature, PeImageOffsets::kFixedFileInfo, 0xFEEF04BC);
  EXPECT_EQ(read(signature), PeVersionStatus::kBadVersionBlock);

  auto no_value = build_pe_image(1, 1);
  put_u16(no_value, PeImageOffsets::kVersionBlock + 2, 0);
  EXPECT_EQ(read(no_value), PeVersionStatus::kBadVersionBlock);
}

std::vector<std::uint8_t> file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Real PE files from Debian packages (mingw-w64 and Wine); versions looked up in their resources
// with objdump -s -j .rsrc by hand. A file not installed here is skipped.
TEST(PeVersionReader, ReadsRealWindowsFiles) {
  struct Known {
    const char* path;
    PeVersionStatus status;
  };
  const Known files[] = {
      {"/usr/x86_64-w64-mingw32/lib/zlib1.dll", PeVersionStatus::kOk},
      {"/usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll", PeVersionStatus::kOk},
      {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll", PeVersionStatus::kOk},
      {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/wininet.dll", PeVersionStatus::kOk},
      {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/notepad.exe", PeVersionStatus::kNoVersion},
      {"/usr/lib/x86_64-linux-gnu/wine/i386-windows/version.dll", PeVersionStatus::kOk},
      {"/usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll", PeVersionStatus::kNoResources},
  };
  int seen = 0;
  for (const Known& known : files) {
    auto bytes = file_bytes(known.path);
    if (bytes.empty()) continue;
    ++seen;
    FixedFileVersion version;
    PeVersionStatus status = read(bytes, version);
    EXPECT_EQ(status, known.status) << known.path << ": " << pe_version_status_text(status);
    if (std::string(known.path).find("zlib1") != std::string::npos) {
      EXPECT_EQ(version.file_version_ms, 0x00010002u);
      EXPECT_EQ(version.file_version_ls, 0x000D0000u);
    }
  }
  if (seen == 0) GTEST_SKIP() << "no Windows PE files from Debian packages on this machine";
}

}  // namespace
}  // namespace tolvex::publish
