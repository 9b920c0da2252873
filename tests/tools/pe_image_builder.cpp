#include "tools/pe_image_builder.h"

namespace tolvex::testing {

void put_u16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
  bytes.at(offset) = static_cast<std::uint8_t>(value);
  bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void put_u32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  put_u16(bytes, offset, static_cast<std::uint16_t>(value));
  put_u16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

std::vector<std::uint8_t> build_pe_image(std::uint32_t version_ms, std::uint32_t version_ls,
                                         const PeImageShape& shape) {
  using O = PeImageOffsets;
  constexpr std::uint32_t kRawSize = 0x200;
  std::vector<std::uint8_t> image(O::kResources + kRawSize, 0);
  const bool plus = shape.pe32_plus;

  put_u16(image, 0, 0x5A4D);  // "MZ"
  put_u32(image, 0x3C, O::kPeHeader);
  put_u32(image, O::kPeHeader, 0x00004550);
  const std::uint32_t coff = O::kPeHeader + 4;
  put_u16(image, coff, plus ? 0x8664 : 0x14C);
  put_u16(image, coff + 2, 1);                  // one section
  put_u16(image, coff + 16, plus ? 240 : 224);  // optional header with 16 data directories
  put_u16(image, coff + 18, 0x2022);            // executable, DLL
  put_u16(image, O::kOptionalHeader, plus ? 0x20B : 0x10B);
  // The two forms differ before these (BaseOfData, the width of ImageBase) but not here.
  put_u32(image, O::kOptionalHeader + 32, 0x1000);                      // SectionAlignment
  put_u32(image, O::kOptionalHeader + 36, 0x200);                       // FileAlignment
  put_u32(image, O::kOptionalHeader + 56, shape.section_rva + 0x1000);  // SizeOfImage
  put_u32(image, O::kOptionalHeader + 60, 0x200);                       // SizeOfHeaders
  put_u32(image, O::kOptionalHeader + (plus ? 108 : 92), 16);
  if (shape.with_resources) {
    put_u32(image, O::resource_directory_entry(plus), shape.section_rva);
    put_u32(image, O::resource_directory_entry(plus) + 4, 0x58 + 92);
  }

  const std::uint32_t section = O::section_table(plus);
  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  for (int i = 0; i < 8; ++i) image[section + i] = static_cast<std::uint8_t>(name[i]);
  put_u32(image, section + 8, 0x58 + 92);  // VirtualSize
  put_u32(image, section + 12, shape.section_rva);
  put_u32(image, section + 16, kRawSize);
  put_u32(image, section + 20, O::kResources);
  put_u32(image, section + 36, 0x40000040);  // initialised data, readable

  // Type directory: one id entry, RT_VERSION -> the name directory.
  put_u16(image, O::kRootDirectory + 14, 1);
  put_u32(image, O::kRootDirectory + 16, 16);
  put_u32(image, O::kRootDirectory + 20, 0x80000000u | (O::kNameDirectory - O::kResources));
  // Name directory: one id entry -> the language directory.
  put_u16(image, O::kNameDirectory + 14, 1);
  put_u32(image, O::kNameDirectory + 16, shape.version_name);
  put_u32(image, O::kNameDirectory + 20, 0x80000000u | (O::kLanguageDirectory - O::kResources));
  // Language directory: Japanese -> the data entry.
  put_u16(image, O::kLanguageDirectory + 14, 1);
  put_u32(image, O::kLanguageDirectory + 16, 0x411);
  put_u32(image, O::kLanguageDirectory + 20, O::kDataEntry - O::kResources);
  put_u32(image, O::kDataEntry, shape.section_rva + (O::kVersionBlock - O::kResources));
  put_u32(image, O::kDataEntry + 4, 92);

  // VS_VERSIONINFO with its VS_FIXEDFILEINFO and no children.
  put_u16(image, O::kVersionBlock, 92);
  put_u16(image, O::kVersionBlock + 2, 52);
  const char key[] = "VS_VERSION_INFO";
  for (std::size_t i = 0; i < sizeof key; ++i)
    put_u16(image, O::kVersionBlock + 6 + i * 2, static_cast<std::uint8_t>(key[i]));
  put_u32(image, O::kFixedFileInfo, 0xFEEF04BD);
  put_u32(image, O::kFixedFileInfo + 4, 0x00010000);
  put_u32(image, O::kFixedFileInfo + 8, version_ms);
  put_u32(image, O::kFixedFileInfo + 12, version_ls);
  put_u32(image, O::kFixedFileInfo + 16, version_ms);
  put_u32(image, O::kFixedFileInfo + 20, version_ls);
  return image;
}

}  // namespace tolvex::testing
