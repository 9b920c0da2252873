#pragma once
// The platform's limit: one GET read in 64 KiB blocks straight into a file, no window, no
// progress, no slicing.
#include <cstdint>

namespace tolvex::bench {

// Downloads `url` into `file_name`; the number of bytes stored, or -1 on failure.
std::int64_t plain_wininet_download(const char* url, const char* file_name);

}  // namespace tolvex::bench
