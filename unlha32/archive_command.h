#pragma once
// The archive command as UNLHA32.dll's entry takes it and answers it: the command line and
// its wildcards, the result codes and the report written into the caller's buffer.
#include <cstddef>
#include <string>
#include <vector>

namespace tolvex::unlha32 {

// The command line UNLHA32.dll receives, e.g. `e -mc -n1 -jse2 C:\PROGRA~1\x.lzh *.*`:
// a command letter, switches starting with '-', the archive name, then an optional output
// folder (ending in '\\') and wildcards. Tokens may be quoted. Code page 932 bytes.
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

// File-name wildcards as the archive command takes them: '*' any run of characters, '?' one
// character (a double-byte character counts as one), letters compared without case.
// "*.*" and "*" match every name, also names without a dot.
bool wildcard_matches(const std::string& pattern, const std::string& name);

// True when `patterns` is empty or any of them matches.
bool any_wildcard_matches(const std::vector<std::string>& patterns, const std::string& name);

// What Unlha() returns: 0 on success, one of these otherwise.
enum ResultCode : int {
  kSuccess = 0,
  kBadCommand = 0x8001,       // the command line could not be understood
  kArchiveNotFound = 0x8002,  // the archive cannot be opened
  kArchiveDamaged = 0x8003,   // a header is broken or the archive ends early
  kMemberFailed = 0x8004,     // a member failed (CRC, unsupported method, unsafe name)
  kCannotWrite = 0x8005,      // an output file could not be created or moved into place
};

// The caller's output buffer for the report: bounded, always NUL-terminated when it has room
// for anything, never written past `size`; a null buffer or size 0 takes nothing.
class ReportBuffer {
 public:
  ReportBuffer(char* buffer, std::size_t size);
  // Appends `text`, cut before a character that would not fit. Once a text was cut, later
  // ones are dropped too, so the report never skips a piece in the middle.
  void append(const std::string& text);

 private:
  char* buffer_;
  std::size_t size_;
  bool full_ = false;
};

}  // namespace tolvex::unlha32
