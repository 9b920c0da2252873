#include "catalogue/pe_version_reader.h"

#include "lha/byte_io.h"

namespace tolvex {
namespace {

constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint32_t kRtVersion = 16;
constexpr std::uint32_t kVsVersionInfoName = 1;
constexpr std::uint32_t kHighBit = 0x80000000u;
constexpr std::uint32_t kAnyId = 0xFFFFFFFFu;  // matches no integer id: take the first entry
constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kFixedFileInfoSize = 52;

// A bounded, read-only view of bytes with little-endian reads that fail instead of running
// past the end: the only way the reader touches file bytes.
class ByteSpan {
 public:
  ByteSpan() = default;
  ByteSpan(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::size_t size() const { return size_; }

  // True when [offset, offset + length) lies inside the view (no overflow).
  bool contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  bool read_u16(std::uint64_t offset, std::uint16_t& value) const {
    if (!contains(offset, 2)) return false;
    value = lha::load_le16(data_ + offset);
    return true;
  }
  bool read_u32(std::uint64_t offset, std::uint32_t& value) const {
    if (!contains(offset, 4)) return false;
    value = lha::load_le32(data_ + offset);
    return true;
  }
  // The part [offset, offset + length), or an empty view when it does not lie inside.
  bool sub_span(std::uint64_t offset, std::uint64_t length, ByteSpan& part) const {
    if (!contains(offset, length)) return false;
    part = ByteSpan(data_ + offset, static_cast<std::size_t>(length));
    return true;
  }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
};

struct Section {
  std::uint32_t virtual_address = 0;
  std::uint32_t raw_size = 0;
  std::uint32_t raw_offset = 0;
};

// What the headers tell: where the section table lies and where the resources start.
struct PeLayout {
  std::uint64_t section_table = 0;
  std::uint16_t section_count = 0;
  std::uint32_t resource_rva = 0;
  std::uint32_t resource_size = 0;
};

PeVersionStatus read_layout(const ByteSpan& file, PeLayout& layout) {
  std::uint16_t mz = 0;
  std::uint32_t pe_offset = 0, signature = 0;
  if (!file.read_u16(0, mz) || mz != 0x5A4D || !file.read_u32(0x3C, pe_offset)) return PeVersionStatus::kNotPe;
  if (!file.read_u32(pe_offset, signature) || signature != kPeSignature) return PeVersionStatus::kNotPe;

  const std::uint64_t coff = static_cast<std::uint64_t>(pe_offset) + 4;
  std::uint16_t optional_size = 0, magic = 0;
  if (!file.read_u16(coff + 2, layout.section_count) || !file.read_u16(coff + 16, optional_size))
    return PeVersionStatus::kBadHeaders;
  const std::uint64_t optional = coff + 20;
  if (!file.contains(optional, optional_size) || !file.read_u16(optional, magic)) return PeVersionStatus::kBadHeaders;
  std::uint64_t count_field = 0;
  if (magic == kPe32Magic) count_field = 92;
  else if (magic == kPe32PlusMagic) count_field = 108;
  else return PeVersionStatus::kBadHeaders;
  std::uint32_t directory_count = 0;
  if (count_field + 4 > optional_size || !file.read_u32(optional + count_field, directory_count))
    return PeVersionStatus::kBadHeaders;
  layout.section_table = optional + optional_size;
  if (!file.contains(layout.section_table, static_cast<std::uint64_t>(layout.section_count) * kSectionHeaderSize))
    return PeVersionStatus::kBadHeaders;

  const std::uint64_t entry = count_field + 4 + kResourceDirectoryIndex * 8;
  if (directory_count <= kResourceDirectoryIndex || entry + 8 > optional_size) return PeVersionStatus::kNoResources;
  file.read_u32(optional + entry, layout.resource_rva);
  file.read_u32(optional + entry + 4, layout.resource_size);
  if (layout.resource_rva == 0 || layout.resource_size == 0) return PeVersionStatus::kNoResources;
  return PeVersionStatus::kOk;
}

// The file bytes from `rva` to the end of the raw data of the section holding it.
bool view_at_rva(const ByteSpan& file, const PeLayout& layout, std::uint32_t rva, ByteSpan& view) {
  for (std::uint16_t i = 0; i < layout.section_count; ++i) {
    const std::uint64_t header = layout.section_table + static_cast<std::uint64_t>(i) * kSectionHeaderSize;
    Section section;
    file.read_u32(header + 12, section.virtual_address);
    file.read_u32(header + 16, section.raw_size);
    file.read_u32(header + 20, section.raw_offset);
    if (rva < section.virtual_address || rva - section.virtual_address >= section.raw_size) continue;
    const std::uint64_t delta = rva - section.virtual_address;
    const std::uint64_t offset = section.raw_offset + delta;
    if (offset > file.size()) return false;
    std::uint64_t length = section.raw_size - delta;
    if (length > file.size() - offset) length = file.size() - offset;  // a raw size past the end of the file
    return file.sub_span(offset, length, view);
  }
  return false;
}

struct DirectoryEntry {
  std::uint32_t name = 0;  // high bit: a string name; else an integer id
  std::uint32_t data = 0;  // high bit: a subdirectory; else a data entry (offsets in the resources)
};

// Entry `index` of the resource directory at `offset`, with the entry count checked first.
bool directory_entry_count(const ByteSpan& resources, std::uint32_t offset, std::uint32_t& count) {
  std::uint16_t named = 0, ids = 0;
  if (!resources.read_u16(static_cast<std::uint64_t>(offset) + 12, named) ||
      !resources.read_u16(static_cast<std::uint64_t>(offset) + 14, ids))
    return false;
  count = static_cast<std::uint32_t>(named) + ids;
  return resources.contains(static_cast<std::uint64_t>(offset) + 16, static_cast<std::uint64_t>(count) * 8);
}

DirectoryEntry directory_entry(const ByteSpan& resources, std::uint32_t offset, std::uint32_t index) {
  DirectoryEntry entry;
  const std::uint64_t at = static_cast<std::uint64_t>(offset) + 16 + static_cast<std::uint64_t>(index) * 8;
  resources.read_u32(at, entry.name);
  resources.read_u32(at + 4, entry.data);
  return entry;
}

// Finds the entry with integer id `id` in the directory at `offset`; with `first_otherwise`,
// falls back to the first entry. False when there is none or the directory is out of range.
bool find_entry(const ByteSpan& resources, std::uint32_t offset, std::uint32_t id, bool first_otherwise,
                DirectoryEntry& found, bool& malformed) {
  std::uint32_t count = 0;
  if (!directory_entry_count(resources, offset, count)) {
    malformed = true;
    return false;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    DirectoryEntry entry = directory_entry(resources, offset, i);
    if ((entry.name & kHighBit) == 0 && entry.name == id) {
      found = entry;
      return true;
    }
  }
  if (first_otherwise && count > 0) {
    found = directory_entry(resources, offset, 0);
    return true;
  }
  return false;
}

// The offset of the subdirectory an entry points to, checked to be one.
bool subdirectory_of(const DirectoryEntry& entry, std::uint32_t& offset) {
  if ((entry.data & kHighBit) == 0) return false;
  offset = entry.data & ~kHighBit;
  return true;
}

bool key_is_vs_version_info(const ByteSpan& block) {
  static const char kKey[] = "VS_VERSION_INFO";
  for (std::size_t i = 0; i < sizeof kKey; ++i) {  // with the terminating zero
    std::uint16_t unit = 0;
    if (!block.read_u16(6 + i * 2, unit) || unit != static_cast<unsigned char>(kKey[i])) return false;
  }
  return true;
}

PeVersionStatus read_version_block(const ByteSpan& block, FixedFileVersion& version) {
  std::uint16_t length = 0, value_length = 0;
  if (!block.read_u16(0, length) || !block.read_u16(2, value_length)) return PeVersionStatus::kBadVersionBlock;
  ByteSpan root;
  if (!block.sub_span(0, length, root) || !key_is_vs_version_info(root)) return PeVersionStatus::kBadVersionBlock;
  // The value follows the key (6 + 32 bytes) aligned to 32 bits: offset 40.
  constexpr std::uint64_t kValueOffset = 40;
  std::uint32_t signature = 0;
  if (value_length < kFixedFileInfoSize || !root.contains(kValueOffset, kFixedFileInfoSize) ||
      !root.read_u32(kValueOffset, signature) || signature != kFixedFileInfoSignature)
    return PeVersionStatus::kBadVersionBlock;
  root.read_u32(kValueOffset + 8, version.file_version_ms);
  root.read_u32(kValueOffset + 12, version.file_version_ls);
  return PeVersionStatus::kOk;
}

}  // namespace

const char* pe_version_status_text(PeVersionStatus status) {
  switch (status) {
    case PeVersionStatus::kOk:
      return "ok";
    case PeVersionStatus::kNotPe:
      return "not a Windows PE file";
    case PeVersionStatus::kBadHeaders:
      return "damaged PE headers";
    case PeVersionStatus::kNoResources:
      return "no resources (no version information)";
    case PeVersionStatus::kBadResources:
      return "damaged resource directory";
    case PeVersionStatus::kNoVersion:
      return "no version information";
    case PeVersionStatus::kBadVersionBlock:
      return "damaged version information";
  }
  return "unknown";
}

PeVersionStatus read_pe_file_version(const std::uint8_t* data, std::size_t size, FixedFileVersion& version) {
  const ByteSpan file(data, size);
  PeLayout layout;
  PeVersionStatus status = read_layout(file, layout);
  if (status != PeVersionStatus::kOk) return status;

  ByteSpan resources;
  if (!view_at_rva(file, layout, layout.resource_rva, resources)) return PeVersionStatus::kBadResources;

  // Three fixed levels (type, name, language): the walk never follows more than three links,
  // so a directory that points back at itself cannot make it loop.
  bool malformed = false;
  DirectoryEntry type, name, language;
  std::uint32_t names_offset = 0, languages_offset = 0;
  if (!find_entry(resources, 0, kRtVersion, false, type, malformed))
    return malformed ? PeVersionStatus::kBadResources : PeVersionStatus::kNoVersion;
  if (!subdirectory_of(type, names_offset)) return PeVersionStatus::kBadResources;
  if (!find_entry(resources, names_offset, kVsVersionInfoName, true, name, malformed))
    return malformed ? PeVersionStatus::kBadResources : PeVersionStatus::kNoVersion;
  if (!subdirectory_of(name, languages_offset)) return PeVersionStatus::kBadResources;
  if (!find_entry(resources, languages_offset, kAnyId, true, language, malformed))
    return malformed ? PeVersionStatus::kBadResources : PeVersionStatus::kNoVersion;
  if ((language.data & kHighBit) != 0) return PeVersionStatus::kBadResources;

  std::uint32_t data_rva = 0, data_size = 0;
  if (!resources.read_u32(language.data, data_rva) ||
      !resources.read_u32(static_cast<std::uint64_t>(language.data) + 4, data_size))
    return PeVersionStatus::kBadResources;
  ByteSpan section_rest, block;
  if (!view_at_rva(file, layout, data_rva, section_rest) || !section_rest.sub_span(0, data_size, block))
    return PeVersionStatus::kBadVersionBlock;
  return read_version_block(block, version);
}

}  // namespace tolvex
