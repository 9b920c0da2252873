#pragma once
// Builds small, valid PE images with a version resource, for tests and fuzz seeds; tests then
// damage chosen fields at the offsets below to make hostile files.
#include <cstdint>
#include <vector>

namespace tolvex::testing {

struct PeImageShape {
  bool pe32_plus = true;           // PE32+ (x64) or PE32 (x86) optional header
  std::uint32_t version_name = 1;  // the resource name under RT_VERSION
  std::uint32_t section_rva = 0x1000;
  bool with_resources = true;  // false: data directory 2 stays empty
};

// Fixed file offsets in the images built below.
struct PeImageOffsets {
  static constexpr std::uint32_t kPeHeader = 0x40;  // "PE\0\0"
  static constexpr std::uint32_t kOptionalHeader = 0x58;
  static constexpr std::uint32_t kResources = 0x200;  // the .rsrc section's raw data
  static constexpr std::uint32_t kRootDirectory = kResources;
  static constexpr std::uint32_t kNameDirectory = kResources + 0x18;
  static constexpr std::uint32_t kLanguageDirectory = kResources + 0x30;
  static constexpr std::uint32_t kDataEntry = kResources + 0x48;
  static constexpr std::uint32_t kVersionBlock = kResources + 0x58;
  static constexpr std::uint32_t kFixedFileInfo = kVersionBlock + 40;
  // The section table's offset depends on the optional header's size.
  static std::uint32_t section_table(bool pe32_plus) { return kOptionalHeader + (pe32_plus ? 240 : 224); }
  static std::uint32_t resource_directory_entry(bool pe32_plus) {
    return kOptionalHeader + (pe32_plus ? 112 : 96) + 16;
  }
};

// A PE image whose fixed file version is `version_ms`.`version_ls`.
std::vector<std::uint8_t> build_pe_image(std::uint32_t version_ms, std::uint32_t version_ls,
                                         const PeImageShape& shape = {});

void put_u16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);
void put_u32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);

}  // namespace tolvex::testing
