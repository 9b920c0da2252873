#include "unlha32/wildcard.h"

#include <cctype>

#include "text/cp932.h"

namespace tolvex::unlha32 {
namespace {

// Byte length of the character starting at `text[i]`.
std::size_t char_size(const std::string& text, std::size_t i) {
  return is_cp932_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

bool same_char(const std::string& a, std::size_t i, std::size_t a_size, const std::string& b, std::size_t j,
               std::size_t b_size) {
  if (a_size != b_size) return false;
  if (a_size == 2) return a[i] == b[j] && a[i + 1] == b[j + 1];
  return std::tolower(static_cast<unsigned char>(a[i])) == std::tolower(static_cast<unsigned char>(b[j]));
}

bool match_from(const std::string& pattern, std::size_t p, const std::string& name, std::size_t n) {
  // Iterative matching with one backtrack point for the last '*'.
  std::size_t star = std::string::npos, resume = 0;
  while (n < name.size()) {
    std::size_t name_size = char_size(name, n);
    if (p < pattern.size() && pattern[p] == '*') {
      star = ++p;
      resume = n;
      continue;
    }
    if (p < pattern.size()) {
      std::size_t pattern_size = char_size(pattern, p);
      if ((pattern_size == 1 && pattern[p] == '?') || same_char(pattern, p, pattern_size, name, n, name_size)) {
        p += pattern_size;
        n += name_size;
        continue;
      }
    }
    if (star == std::string::npos) return false;
    p = star;
    resume += char_size(name, resume);
    n = resume;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool wildcard_matches(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*" || pattern == "*") return true;
  return match_from(pattern, 0, name, 0);
}

bool any_wildcard_matches(const std::vector<std::string>& patterns, const std::string& name) {
  if (patterns.empty()) return true;
  for (const std::string& pattern : patterns) {
    if (wildcard_matches(pattern, name)) return true;
  }
  return false;
}

}  // namespace tolvex::unlha32
