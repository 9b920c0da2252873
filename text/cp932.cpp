#include "text/cp932.h"

#include <cstring>

namespace tolvex {

bool copy_cp932_text(char* destination, std::size_t size, const char* source) {
  if (size == 0) return false;
  destination[0] = '\0';
  return append_cp932_text(destination, size, source);
}

bool append_cp932_text(char* destination, std::size_t size, const char* source) {
  if (size == 0) return false;
  std::size_t used = strnlen(destination, size);
  if (used == size) {  // not terminated: terminate at the last byte and give up
    destination[size - 1] = '\0';
    return false;
  }
  std::size_t i = 0;
  while (source[i] != '\0') {
    std::size_t width = is_cp932_lead_byte(static_cast<unsigned char>(source[i])) && source[i + 1] != '\0' ? 2 : 1;
    if (used + width >= size) {
      destination[used] = '\0';
      return false;
    }
    std::memcpy(destination + used, source + i, width);
    used += width;
    i += width;
  }
  destination[used] = '\0';
  return true;
}

const char* find_last_path_separator(const char* path) {
  const char* last = nullptr;
  for (const char* p = path; *p != '\0';) {
    unsigned char byte = static_cast<unsigned char>(*p);
    if (is_cp932_lead_byte(byte) && p[1] != '\0') {
      p += 2;
      continue;
    }
    if (byte == '\\' || byte == '/') last = p;
    ++p;
  }
  return last;
}

std::string folder_of_path(const char* path) {
  const char* separator = find_last_path_separator(path);
  return separator != nullptr ? std::string(path, separator + 1) : std::string();
}

}  // namespace tolvex
