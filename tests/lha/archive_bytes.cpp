#include "archive_bytes.h"

#include <random>

#include "lha/detail/bit_io.h"
#include "lha/detail/member_header.h"

namespace tolvex::lha::testing {

Bytes bytes_of(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes random_bytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes out(size);
  for (auto& b : out) b = static_cast<std::uint8_t>(rng());
  return out;
}

Bytes text_bytes(std::size_t size, std::uint32_t seed) {
  static const char* const kWords[] = {"update ", "archive ", "version ", "the ",   "file ",    "list ",    "\r\n",
                                       "server ", "tolvex ",  "1.2.3 ",   "suite ", "setting ", "download "};
  std::mt19937 rng(seed);
  Bytes out;
  while (out.size() < size) {
    const char* word = kWords[rng() % (sizeof kWords / sizeof kWords[0])];
    for (const char* p = word; *p && out.size() < size; ++p) out.push_back(static_cast<std::uint8_t>(*p));
  }
  return out;
}

std::vector<DecodedMember> decode_all(const Bytes& archive, Result* archive_result) {
  MemoryInput input(archive);
  ArchiveReader reader(input);
  std::vector<DecodedMember> members;
  for (;;) {
    DecodedMember member;
    bool at_end = false;
    Result result = reader.next(member.header, at_end);
    if (archive_result) *archive_result = result;
    if (!result.ok() || at_end) break;
    VectorSink sink;
    member.result = reader.extract(sink);
    member.data = std::move(sink.bytes);
    members.push_back(std::move(member));
  }
  return members;
}

Bytes single_member_archive(const std::string& name, const Bytes& data, Method method) {
  Bytes archive;
  write_archive({{name, data, 1700000000u, method}}, archive);
  return archive;
}

void put_le32(Bytes& bytes, std::size_t at, std::uint32_t value) { store_le32(&bytes[at], value); }

void patch_level2_header(Bytes& archive, const std::function<void(Bytes&)>& patch) {
  // Our writer puts the header-CRC extension first: its two bytes sit at offset 27.
  constexpr std::size_t kCrcAt = 27;
  patch(archive);
  std::size_t header_size = load_le16(archive.data());
  store_le16(&archive[kCrcAt], 0);
  store_le16(&archive[kCrcAt], crc16(archive.data(), header_size));
}

namespace {

void append_le16(Bytes& bytes, std::uint16_t value) {
  bytes.resize(bytes.size() + 2);
  store_le16(&bytes[bytes.size() - 2], value);
}
void append_le32(Bytes& bytes, std::uint32_t value) {
  bytes.resize(bytes.size() + 4);
  store_le32(&bytes[bytes.size() - 4], value);
}

}  // namespace

Bytes level0_member(const char* method, const std::string& name, const Bytes& data, std::uint16_t crc) {
  Bytes h{0, 0};
  h.insert(h.end(), method, method + 5);
  for (int i = 0; i < 2; ++i) append_le32(h, static_cast<std::uint32_t>(data.size()));
  for (int k = 0; k < 4; ++k) h.push_back(0);  // MS-DOS time
  h.push_back(0x20);
  h.push_back(0);  // level
  h.push_back(static_cast<std::uint8_t>(name.size()));
  h.insert(h.end(), name.begin(), name.end());
  append_le16(h, crc);
  h[0] = static_cast<std::uint8_t>(h.size() - 2);
  unsigned sum = 0;
  for (std::size_t i = 2; i < h.size(); ++i) sum += h[i];
  h[1] = static_cast<std::uint8_t>(sum);
  h.insert(h.end(), data.begin(), data.end());
  return h;
}

namespace {

void mend_level0_checksum(Bytes& member) {
  unsigned sum = 0;
  for (std::size_t i = 2; i < member[0] + 2u; ++i) sum += member[i];
  member[1] = static_cast<std::uint8_t>(sum);
}

}  // namespace

Bytes level0_member_without_crc(const char* method, const std::string& name, const Bytes& data, bool stray_byte) {
  Bytes member = level0_member(method, name, data, 0);
  const long crc_at = static_cast<long>(22 + name.size());
  const int removed = stray_byte ? 1 : 2;
  member.erase(member.begin() + crc_at, member.begin() + crc_at + removed);
  member[0] = static_cast<std::uint8_t>(member[0] - removed);
  mend_level0_checksum(member);
  return member;
}

void set_level0_original_size(Bytes& member, std::uint32_t size) {
  put_le32(member, 11, size);
  mend_level0_checksum(member);
}

Bytes level2_member(const char* method, const std::string& name, const Bytes& data, std::uint16_t crc, char os,
                    const std::vector<Extension>& more, int length_short_by) {
  Bytes h{0, 0};
  h.insert(h.end(), method, method + 5);
  for (int i = 0; i < 2; ++i) append_le32(h, static_cast<std::uint32_t>(data.size()));
  append_le32(h, 1700000000u);
  h.push_back(0x20);
  h.push_back(2);
  append_le16(h, crc);
  h.push_back(static_cast<std::uint8_t>(os));
  std::vector<Extension> extensions{{0x01, Bytes(name.begin(), name.end())}};
  extensions.insert(extensions.end(), more.begin(), more.end());
  for (const Extension& extension : extensions) {
    const std::size_t size = extension.data.size() + 3;  // type, data, the next size field
    append_le16(h, static_cast<std::uint16_t>(size));
    h.push_back(extension.type);
    h.insert(h.end(), extension.data.begin(), extension.data.end());
  }
  h.push_back(0);
  h.push_back(0);
  const std::size_t length = h.size() - static_cast<std::size_t>(length_short_by);
  store_le16(h.data(), static_cast<std::uint16_t>(length));
  h.insert(h.end(), data.begin(), data.end());
  return h;
}

Bytes lh5_bomb_stream(int blocks) {
  Bytes stream;
  BitWriter bits(stream);
  bits.put(16, 1);                   // one symbol:
  bits.put(5, 0), bits.put(5, 0);    // code-length table of a single symbol
  bits.put(9, 0), bits.put(9, 'A');  // the literal 'A'
  bits.put(4, 0), bits.put(4, 0);    // position table of a single symbol
  for (int i = 0; i < blocks; ++i) {
    bits.put(16, 0xFFFF);
    bits.put(5, 0), bits.put(5, 0);
    bits.put(9, 0), bits.put(9, 509);  // every symbol a match of 256 bytes
    bits.put(4, 0), bits.put(4, 0);    // at distance 1
  }
  bits.flush();
  return stream;
}

}  // namespace tolvex::lha::testing
