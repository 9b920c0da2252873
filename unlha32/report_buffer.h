#pragma once
// The caller's output buffer for the report: bounded, always NUL-terminated when it has room
// for anything, never written past `size`; a null buffer or size 0 takes nothing.
#include <cstddef>
#include <string>

namespace tolvex::unlha32 {

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
