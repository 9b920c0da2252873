#pragma once
// The process-wide text of the last update list fetched completely; empty until then.
#include <cstddef>
#include <memory>

namespace tolvex {

// The current list text, NUL-terminated (never null).
const char* update_list_text();

// Replaces the text with a newly fetched one; the old one is released.
void replace_update_list_text(std::unique_ptr<char[]> text);

}  // namespace tolvex
