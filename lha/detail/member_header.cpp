#include "lha/detail/member_header.h"

#include <array>
#include <cctype>
#include <cstring>
#include <vector>

#include "text/cp932.h"

namespace tolvex::lha {
namespace {

constexpr std::size_t kMaxHeaderBytes = 1024 * 1024;
constexpr std::uint8_t kOs9Id = 'K';         // the OS id of LHA for OS-9/68k
constexpr std::size_t kOs9ShortHeader = 24;  // its level-2 header with no extension, as it counts it

bool read_exact(InputSource& source, std::uint8_t* out, std::size_t size) {
  while (size > 0) {
    std::size_t got = source.read(out, size);
    if (got == 0) return false;
    out += got;
    size -= got;
  }
  return true;
}

Result truncated(const char* what) { return Result::failure(Status::kTruncated, what); }
Result bad(const char* what) { return Result::failure(Status::kBadHeader, what); }

// What the extended headers said, applied to the header once all are read.
struct Extensions {
  std::string name;
  bool has_name = false;
  std::string directory;
  bool has_header_crc = false;
  std::uint16_t header_crc = 0;
  std::size_t header_crc_offset = 0;  // within the level-2/3 header buffer
};

void apply_extension(std::uint8_t type, const std::uint8_t* data, std::size_t size, std::size_t offset,
                     MemberHeader& header, Extensions& ext) {
  switch (type) {
    case 0x00:
      if (size >= 2) {
        ext.has_header_crc = true;
        ext.header_crc = load_le16(data);
        ext.header_crc_offset = offset;
      }
      break;
    case 0x01:
      ext.name.assign(reinterpret_cast<const char*>(data), size);
      ext.has_name = true;
      break;
    case 0x02:
      ext.directory.assign(reinterpret_cast<const char*>(data), size);
      for (char& c : ext.directory) {
        if (static_cast<unsigned char>(c) == 0xFF) c = '\\';
      }
      break;
    case 0x40:
      if (size >= 1) header.attributes = data[0];
      break;
    case 0x42:
      if (size >= 16) {
        header.packed_size = load_le64(data);
        header.original_size = load_le64(data + 8);
      }
      break;
    case 0x54:
      if (size >= 4 && !header.timestamp_is_unix) {
        header.timestamp = load_le32(data);
        header.timestamp_is_unix = true;
      }
      break;
    default:
      break;  // comments, permissions, owners, Windows times: not needed here
  }
}

// True when the chain of extended headers starting at `offset` ends inside `buffer`.
bool extensions_fit(const std::vector<std::uint8_t>& buffer, std::size_t offset, std::size_t size_width,
                    std::uint32_t next_size) {
  while (next_size != 0) {
    if (next_size < 1 + size_width || next_size > buffer.size() - offset) return false;
    const std::uint8_t* size_field = buffer.data() + offset + next_size - size_width;
    offset += next_size;
    next_size = size_width == 2 ? load_le16(size_field) : load_le32(size_field);
  }
  return true;
}

// Walks extended headers inside `buffer` from `offset`, each `size_width` bytes of length
// (2 or 4) covering type, data and the next length.
Result parse_inner_extensions(const std::vector<std::uint8_t>& buffer, std::size_t offset, std::size_t size_width,
                              std::uint32_t next_size, MemberHeader& header, Extensions& ext) {
  while (next_size != 0) {
    if (next_size < 1 + size_width || next_size > buffer.size() - offset)
      return bad("extended header overruns the header");
    const std::uint8_t* p = buffer.data() + offset;
    std::size_t data_size = next_size - 1 - size_width;
    apply_extension(p[0], p + 1, data_size, offset + 1, header, ext);
    const std::uint8_t* size_field = p + 1 + data_size;
    std::uint32_t following = size_width == 2 ? load_le16(size_field) : load_le32(size_field);
    offset += next_size;
    next_size = following;
  }
  return Result::success();
}

void copy_method(const std::uint8_t* base, MemberHeader& header) {
  std::memcpy(header.method, base + 2, 5);
  header.method[5] = '\0';
}

Result read_level_0_or_1(InputSource& source, std::vector<std::uint8_t>& buffer, MemberHeader& header,
                         Extensions& ext) {
  std::size_t header_size = buffer[0];
  if (header_size < 20) return bad("header too short");
  std::size_t total = header_size + 2;
  buffer.resize(total);
  if (!read_exact(source, buffer.data() + 21, total - 21)) return truncated("archive ends inside a header");
  unsigned sum = 0;
  for (std::size_t i = 2; i < total; ++i) sum += buffer[i];
  if ((sum & 0xFF) != buffer[1]) return Result::failure(Status::kHeaderChecksum, "header checksum mismatch");

  header.packed_size = load_le32(&buffer[7]);
  header.original_size = load_le32(&buffer[11]);
  header.timestamp = load_le32(&buffer[15]);
  header.attributes = buffer[19];
  std::size_t name_length = buffer[21];
  if (22 + name_length > total) return bad("name longer than the header");
  // Amiga archivers keep a file comment after a NUL inside the name field: the name ends there.
  // A NUL is never part of a code page 932 character, so the cut cannot split one.
  const char* name = reinterpret_cast<const char*>(&buffer[22]);
  const void* nul = std::memchr(name, '\0', name_length);
  header.stored_path.assign(name, nul ? static_cast<const char*>(nul) - name : name_length);
  std::size_t after_name = 22 + name_length;
  if (header.level == 0) {
    if (after_name + 2 <= total) header.crc = load_le16(&buffer[after_name]);
    else header.has_crc = false;
    return Result::success();
  }

  // Level 1: CRC, OS id, then the size of the first extended header, which follows the
  // base header in the stream and counts towards the packed size.
  if (after_name + 5 > total) return bad("level-1 header too short");
  header.crc = load_le16(&buffer[after_name]);
  std::uint32_t next_size = load_le16(&buffer[total - 2]);
  std::uint64_t extension_bytes = 0;
  std::vector<std::uint8_t> extension;
  while (next_size != 0) {
    if (next_size < 3) return bad("extended header too short");
    extension_bytes += next_size;
    if (extension_bytes > kMaxHeaderBytes) return Result::failure(Status::kTooLarge, "extended headers too large");
    extension.resize(next_size);
    if (!read_exact(source, extension.data(), next_size)) return truncated("archive ends inside an extended header");
    apply_extension(extension[0], &extension[1], next_size - 3, 0, header, ext);
    next_size = load_le16(&extension[next_size - 2]);
  }
  if (extension_bytes > header.packed_size) return bad("extended headers larger than the packed size");
  header.packed_size -= extension_bytes;
  ext.has_header_crc = false;  // a level-1 CRC would cover bytes no longer held
  return Result::success();
}

Result read_level_2_or_3(InputSource& source, std::vector<std::uint8_t>& buffer, MemberHeader& header,
                         Extensions& ext) {
  std::size_t total;
  std::size_t size_width;
  std::size_t first_extension;
  if (header.level == 2) {
    total = load_le16(&buffer[0]);
    size_width = 2;
    first_extension = 26;
    if (total < kOs9ShortHeader) return bad("header too short");
  } else {
    if (load_le16(&buffer[0]) != 4) return bad("unknown level-3 word size");
    size_width = 4;
    first_extension = 32;
    buffer.resize(first_extension);
    if (!read_exact(source, buffer.data() + 21, first_extension - 21)) return truncated("archive ends inside a header");
    total = load_le32(&buffer[24]);
    if (total < first_extension) return bad("header too short");
    if (total > kMaxHeaderBytes) return Result::failure(Status::kTooLarge, "header too large");
  }
  std::size_t already = buffer.size();
  buffer.resize(total);
  if (!read_exact(source, buffer.data() + already, total - already)) return truncated("archive ends inside a header");
  if (header.level == 2 && buffer[23] == kOs9Id &&
      (total < first_extension || !extensions_fit(buffer, first_extension, size_width, load_le16(&buffer[24])))) {
    // LHA for OS-9/68k counts the header without its own length field: two bytes more follow.
    total += 2;
    buffer.resize(total);
    if (!read_exact(source, buffer.data() + total - 2, 2)) return truncated("archive ends inside a header");
  }
  if (total < first_extension) return bad("header too short");

  header.packed_size = load_le32(&buffer[7]);
  header.original_size = load_le32(&buffer[11]);
  header.timestamp = load_le32(&buffer[15]);
  header.timestamp_is_unix = true;
  header.crc = load_le16(&buffer[21]);
  std::uint32_t next_size = size_width == 2 ? load_le16(&buffer[24]) : load_le32(&buffer[28]);
  Result parsed = parse_inner_extensions(buffer, first_extension, size_width, next_size, header, ext);
  if (!parsed.ok()) return parsed;
  if (ext.has_header_crc) {
    buffer[ext.header_crc_offset] = 0;
    buffer[ext.header_crc_offset + 1] = 0;
    if (crc16(buffer.data(), buffer.size()) != ext.header_crc)
      return Result::failure(Status::kHeaderChecksum, "header CRC mismatch");
  }
  return Result::success();
}

}  // namespace

Result read_member_header(InputSource& source, MemberHeader& header, bool& at_end) {
  header = MemberHeader{};
  at_end = false;
  std::vector<std::uint8_t> buffer(21);
  if (source.read(buffer.data(), 1) == 0) {
    if (source.failed()) return Result::failure(Status::kIoError, "cannot read the archive");
    at_end = true;  // no terminating zero byte: some archivers omit it
    return Result::success();
  }
  if (buffer[0] == 0) {
    at_end = true;
    return Result::success();
  }
  if (!read_exact(source, buffer.data() + 1, 20)) return truncated("archive ends inside a header");
  if (buffer[2] != '-' || buffer[6] != '-') return bad("not an LHA member header");
  copy_method(buffer.data(), header);
  header.level = buffer[20];

  Extensions ext;
  Result result;
  if (header.level == 0 || header.level == 1) result = read_level_0_or_1(source, buffer, header, ext);
  else if (header.level == 2 || header.level == 3) result = read_level_2_or_3(source, buffer, header, ext);
  else return bad("unknown header level");
  if (!result.ok()) return result;

  if (ext.has_name) header.stored_path = ext.name;
  if (!ext.directory.empty()) {
    if (ext.directory.back() != '\\') ext.directory.push_back('\\');
    header.stored_path = ext.directory + header.stored_path;
  }
  header.is_directory = std::memcmp(header.method, "-lhd-", 5) == 0;
  // An early Amiga archiver records a directory as an empty stored member whose name ends in a
  // separator.
  if (std::memcmp(header.method, "-lh0-", 5) == 0 && header.original_size == 0 && header.packed_size == 0 &&
      !header.stored_path.empty() && last_path_component(header.stored_path).empty())
    header.is_directory = true;
  header.file_name = sanitised_file_name(header.stored_path);
  return Result::success();
}

namespace {

bool is_separator(unsigned char byte) { return byte == '\\' || byte == '/' || byte == 0xFF; }

bool is_device_name(const std::string& name) {
  // Windows treats "CON", "con.txt" and "CON .log" alike: compare the part before the first dot,
  // without trailing spaces.
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* device : kDevices) {
    if (stem == device) return true;
  }
  if (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '0' &&
      stem[3] <= '9') {
    return true;
  }
  return false;
}

}  // namespace

std::string last_path_component(const std::string& stored_path) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < stored_path.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(stored_path[i]);
    if (is_cp932_lead_byte(byte) && i + 1 < stored_path.size()) {
      ++i;  // the trail byte may be 0x5C but is not a separator
    } else if (is_separator(byte)) {
      start = i + 1;
    }
  }
  return stored_path.substr(start);
}

bool is_safe_file_name(const std::string& name) {
  if (name.empty() || name.size() > 255) return false;
  bool only_dots = true;
  for (std::size_t i = 0; i < name.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(name[i]);
    if (is_cp932_lead_byte(byte)) {
      if (i + 1 >= name.size()) return false;  // a double-byte character cut in half
      unsigned char trail = static_cast<unsigned char>(name[i + 1]);
      if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
      ++i;
      only_dots = false;
      continue;
    }
    if (byte < 0x20 || byte == 0x7F || byte == 0xFF || std::strchr("\\/:*?\"<>|", byte) != nullptr) return false;
    if (byte != '.') only_dots = false;
  }
  if (only_dots) return false;
  char last = name.back();
  if (last == '.' || last == ' ') return false;
  return !is_device_name(name);
}

std::string sanitised_file_name(const std::string& stored_path) {
  std::string name = last_path_component(stored_path);
  return is_safe_file_name(name) ? name : std::string();
}

namespace {

// Sixteen tables let the loop fold sixteen bytes per step; the first is the classic byte table,
// table k gives a byte's effect k bytes further on.
constexpr int kSlices = 16;
using Tables = std::array<std::array<std::uint16_t, 256>, kSlices>;

Tables make_tables() {
  Tables tables{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    std::uint16_t crc = static_cast<std::uint16_t>(byte);
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    tables[0][byte] = crc;
  }
  for (unsigned byte = 0; byte < 256; ++byte) {
    for (int k = 1; k < kSlices; ++k) {
      std::uint16_t previous = tables[k - 1][byte];
      tables[k][byte] = static_cast<std::uint16_t>((previous >> 8) ^ tables[0][previous & 0xFF]);
    }
  }
  return tables;
}

const Tables& tables() {
  static const Tables instance = make_tables();
  return instance;
}

}  // namespace

void Crc16::update(const std::uint8_t* data, std::size_t size) {
  const Tables& t = tables();
  std::uint32_t crc = value_;
  while (size >= kSlices) {
    const std::uint32_t low = crc ^ load_le16(data);
    crc = t[15][low & 0xFF] ^ t[14][low >> 8] ^ t[13][data[2]] ^ t[12][data[3]] ^ t[11][data[4]] ^ t[10][data[5]] ^
          t[9][data[6]] ^ t[8][data[7]] ^ t[7][data[8]] ^ t[6][data[9]] ^ t[5][data[10]] ^ t[4][data[11]] ^
          t[3][data[12]] ^ t[2][data[13]] ^ t[1][data[14]] ^ t[0][data[15]];
    data += kSlices;
    size -= kSlices;
  }
  while (size--) crc = (crc >> 8) ^ t[0][(crc ^ *data++) & 0xFF];
  value_ = static_cast<std::uint16_t>(crc);
}

std::uint16_t crc16(const std::uint8_t* data, std::size_t size) {
  Crc16 crc;
  crc.update(data, size);
  return crc.value();
}

}  // namespace tolvex::lha
