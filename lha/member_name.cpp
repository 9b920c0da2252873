#include "lha/member_name.h"

#include <cctype>
#include <cstring>

#include "text/cp932.h"

namespace tolvex::lha {
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

}  // namespace tolvex::lha
