#pragma once
// The command line UNLHA32.dll receives, e.g. `e -mc -n1 -jse2 C:\PROGRA~1\x.lzh *.*`:
// a command letter, switches starting with '-', the archive name, then an optional output
// folder (ending in '\\') and wildcards. Tokens may be quoted. Code page 932 bytes.
#include <string>
#include <vector>

namespace tolvex::unlha32 {

struct ArchiveCommand {
  char command = 0;                   // 'e' (extract, no folders) or 'x' (treated the same)
  std::vector<std::string> switches;  // accepted and ignored: -mc, -n1, -jse2, ...
  std::string archive;
  std::string output_folder;          // empty: the current folder
  std::vector<std::string> patterns;  // empty means everything
};

// Splits and classifies `text`; false with `error` set when no command or archive is given
// or a quote is not closed.
bool parse_command_line(const std::string& text, ArchiveCommand& command, std::string& error);

// Splits at blanks outside double quotes; quotes are removed. False on an unclosed quote.
bool split_command_tokens(const std::string& text, std::vector<std::string>& tokens);

}  // namespace tolvex::unlha32
