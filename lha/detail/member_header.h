#pragma once
// The member headers of an LHA archive, levels 0 to 3, with their extended headers; the names
// they carry; and the CRC-16 that guards both the headers and the members' data.
#include <cstddef>
#include <cstdint>
#include <string>

#include "lha/archive_reader.h"

namespace tolvex::lha {

// Reads the next header from `source`. At the end of the archive (a zero byte or the end of
// the data) returns ok with `at_end` set. Extended headers are bounded: a header and its
// extensions never take more than 1 MiB.
Result read_member_header(InputSource& source, MemberHeader& header, bool& at_end);

// Member names as archives store them are untrusted code page 932 byte strings that may carry
// directories, "..", drive letters, absolute paths or device names. These helpers reduce one to
// a bare file name that is safe to create in the current folder, or to nothing.

// The last component of `stored_path`, split at '\\' (when it is not a trail byte), '/' and
// 0xFF (the separator LHA uses in directory fields).
std::string last_path_component(const std::string& stored_path);

// True when `name` can be created as a file in the current folder on Windows without leaving
// it or naming something else: not empty, not "." or "..", no drive colon, no wildcard or
// control characters, no trailing dot or space, no device name (CON, NUL, COM1, ...), no cut
// double-byte character, at most 255 bytes.
bool is_safe_file_name(const std::string& name);

// last_path_component() when it is safe, otherwise an empty string.
std::string sanitised_file_name(const std::string& stored_path);

// CRC-16 as LHA archives use it: reflected polynomial 0xA001, initial value 0.
class Crc16 {
 public:
  void update(const std::uint8_t* data, std::size_t size);
  std::uint16_t value() const { return value_; }

 private:
  std::uint16_t value_ = 0;
};

std::uint16_t crc16(const std::uint8_t* data, std::size_t size);

}  // namespace tolvex::lha
