#include "unlha32/command_line.h"

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

}  // namespace tolvex::unlha32
