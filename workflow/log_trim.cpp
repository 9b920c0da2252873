#include "workflow/log_trim.h"

namespace tolvex {

// Only a record's heading starts with '[' (its lines are indented and free of control bytes),
// and a line feed is never part of a code page 932 character, so a byte scan is exact.
std::size_t first_record_start(const char* tail, std::size_t size) {
  for (std::size_t i = 1; i < size; ++i) {
    if (tail[i] == '[' && tail[i - 1] == '\n') return i;
  }
  return size;
}

}  // namespace tolvex
