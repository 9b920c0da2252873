#include "lha/archive_writer.h"

#include <cstdio>
#include <cstring>

#include "base/unique_file.h"
#include "lha/detail/lzh_encoder.h"
#include "lha/detail/member_header.h"
#include "text/cp932.h"

namespace tolvex::lha {
namespace {

constexpr std::uint8_t kOsIdMsDos = 'M';

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.resize(out.size() + 2);
  store_le16(&out[out.size() - 2], static_cast<std::uint16_t>(value));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.resize(out.size() + 4);
  store_le32(&out[out.size() - 4], value);
}

// Splits "dir\\sub/name" into the directory field (components joined by 0xFF) and the name.
// The scan skips trail bytes, which may be 0x5C.
void split_name(const std::string& path, std::string& directory, std::string& name) {
  std::size_t split = std::string::npos;
  for (std::size_t i = 0; i < path.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(path[i]);
    if (is_cp932_lead_byte(byte) && i + 1 < path.size()) ++i;
    else if (byte == '\\' || byte == '/') split = i;
  }
  if (split == std::string::npos) {
    directory.clear();
    name = path;
    return;
  }
  directory = path.substr(0, split + 1);
  for (std::size_t i = 0; i < directory.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(directory[i]);
    if (is_cp932_lead_byte(byte) && i + 1 < directory.size()) ++i;
    else if (byte == '\\' || byte == '/') directory[i] = static_cast<char>(0xFF);
  }
  name = path.substr(split + 1);
}

void put_extension(std::vector<std::uint8_t>& header, std::uint8_t type, const std::string& payload) {
  put16(header, static_cast<std::uint32_t>(payload.size() + 3));
  header.push_back(type);
  header.insert(header.end(), payload.begin(), payload.end());
}

}  // namespace

Result append_member(const ArchiveMember& member, std::vector<std::uint8_t>& archive, const Lh5Options& options) {
  if (member.name.empty()) return Result::failure(Status::kBadArgument, "member without a name");
  if (member.name.size() > 1024) return Result::failure(Status::kBadArgument, "member name too long");
  if (member.data.size() > 0xFFFFFFFFu) return Result::failure(Status::kTooLarge, "member larger than 4 GiB");

  std::string directory, name;
  split_name(member.name, directory, name);
  if (name.empty()) return Result::failure(Status::kBadArgument, "member name ends with a separator");

  // Level-2 header: sizes, time, level, data CRC, OS id, then extended headers, each with its
  // own length in front: the header CRC, the file name, the directory, the attributes. The
  // method and the packed size are set once the body is known.
  constexpr std::size_t kMethodAt = 2, kPackedSizeAt = 7;
  std::vector<std::uint8_t> header;
  put16(header, 0);  // total size, set below
  header.insert(header.end(), 5, 0);
  put32(header, 0);
  put32(header, static_cast<std::uint32_t>(member.data.size()));
  put32(header, member.unix_time);
  header.push_back(0x20);
  header.push_back(2);
  put16(header, crc16(member.data.data(), member.data.size()));
  header.push_back(kOsIdMsDos);
  const std::size_t crc_at = header.size() + 3;
  put_extension(header, 0x00, std::string(2, '\0'));
  put_extension(header, 0x01, name);
  if (!directory.empty()) put_extension(header, 0x02, directory);
  put_extension(header, 0x40, std::string("\x20\x00", 2));
  put16(header, 0);  // no further extended header
  // The first byte doubles as the end-of-archive marker when zero, so pad past it.
  if ((header.size() & 0xFF) == 0) header.push_back(0);
  if (header.size() > 0xFFFF) return Result::failure(Status::kBadArgument, "member header too long");
  store_le16(header.data(), static_cast<std::uint16_t>(header.size()));

  // The body is coded straight into the archive, and stored instead when coding does not make
  // it smaller. Whatever is thrown on the way leaves the archive as it was.
  const std::size_t member_at = archive.size();
  try {
    archive.insert(archive.end(), header.begin(), header.end());
    const std::size_t body_at = archive.size();
    const char* method = "-lh0-";
    if (member.method == Method::kLh5 && !member.data.empty()) {
      append_lh5(member.data.data(), member.data.size(), archive, options);
      if (archive.size() - body_at < member.data.size()) method = "-lh5-";
      else archive.resize(body_at);
    }
    if (std::strcmp(method, "-lh0-") == 0) archive.insert(archive.end(), member.data.begin(), member.data.end());
    std::uint8_t* written = archive.data() + member_at;
    std::memcpy(written + kMethodAt, method, 5);
    store_le32(written + kPackedSizeAt, static_cast<std::uint32_t>(archive.size() - body_at));
    store_le16(written + crc_at, crc16(written, header.size()));
  } catch (...) {
    archive.resize(member_at);
    throw;
  }
  return Result::success();
}

Result write_archive(const std::vector<ArchiveMember>& members, std::vector<std::uint8_t>& archive,
                     const Lh5Options& options) {
  archive.clear();
  // Room for every member's header and for the coder's bound on its body (a little over the
  // member's size), so the archive is never moved as it grows.
  std::size_t most = 1;
  for (const ArchiveMember& member : members)
    most += member.data.size() + member.data.size() / 16 + 2 * member.name.size() + 160;
  archive.reserve(most);
  for (const ArchiveMember& member : members) {
    Result result = append_member(member, archive, options);
    if (!result.ok()) return result;
  }
  archive.push_back(0);
  return Result::success();
}

Result write_archive_file(const std::string& path, const std::vector<ArchiveMember>& members,
                          const Lh5Options& options) {
  std::vector<std::uint8_t> archive;
  Result result = write_archive(members, archive, options);
  if (!result.ok()) return result;
  UniqueFile file = open_file(path, "wb");
  if (!file) return Result::failure(Status::kIoError, "cannot create " + path);
  bool written = std::fwrite(archive.data(), 1, archive.size(), file.get()) == archive.size();
  written = (std::fclose(file.release()) == 0) && written;
  if (!written) {
    std::remove(path.c_str());
    return Result::failure(Status::kIoError, "cannot write " + path);
  }
  return Result::success();
}

}  // namespace tolvex::lha
