#include "unlha32/archive_command.h"

#include <cctype>

#include "text/cp932.h"

namespace tolvex::unlha32 {
namespace {

bool ends_with_separator(const std::string& token) {
  const char* last = find_last_path_separator(token.c_str());
  return last != nullptr && last[1] == '\0';
}

}  // namespace

bool split_command_tokens(const std::string& text, std::vector<std::string>& tokens) {
  tokens.clear();
  std::string current;
  bool in_token = false, in_quotes = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char byte = static_cast<unsigned char>(text[i]);
    if (is_cp932_lead_byte(byte) && i + 1 < text.size()) {
      current += text[i];
      current += text[++i];  // a trail byte is never a quote or a blank here, but keep the pair whole
      in_token = true;
    } else if (byte == '"') {
      in_quotes = !in_quotes;
      in_token = true;
    } else if ((byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n') && !in_quotes) {
      if (in_token) tokens.push_back(current);
      current.clear();
      in_token = false;
    } else {
      current += text[i];
      in_token = true;
    }
  }
  if (in_quotes) return false;
  if (in_token) tokens.push_back(current);
  return true;
}

bool parse_command_line(const std::string& text, ArchiveCommand& command, std::string& error) {
  command = ArchiveCommand{};
  std::vector<std::string> tokens;
  if (!split_command_tokens(text, tokens)) {
    error = "unclosed quote in the command line";
    return false;
  }
  std::size_t i = 0;
  if (i < tokens.size() && tokens[i].size() == 1 && tokens[i][0] != '-') {
    command.command = static_cast<char>(tokens[i][0] | 0x20);  // lower case
    ++i;
  }
  if (command.command != 'e' && command.command != 'x') {
    error = "unknown command (only e and x are supported)";
    return false;
  }
  for (; i < tokens.size(); ++i) {
    const std::string& token = tokens[i];
    if (!token.empty() && token[0] == '-') {
      command.switches.push_back(token);
    } else if (command.archive.empty()) {
      command.archive = token;
    } else if (command.output_folder.empty() && command.patterns.empty() && ends_with_separator(token)) {
      command.output_folder = token;
    } else {
      command.patterns.push_back(token);
    }
  }
  if (command.archive.empty()) {
    error = "no archive name in the command line";
    return false;
  }
  return true;
}

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

ReportBuffer::ReportBuffer(char* buffer, std::size_t size) : buffer_(buffer), size_(buffer ? size : 0) {
  if (size_ > 0) buffer_[0] = '\0';
}

void ReportBuffer::append(const std::string& text) {
  if (size_ > 0 && !full_) full_ = !append_cp932_text(buffer_, size_, text.c_str());
}

}  // namespace tolvex::unlha32
