#include "bench/download/plain_wininet_download.h"

#include <cstdio>
#include <memory>

#include "win/scoped_win.h"

namespace tolvex::bench {

std::int64_t plain_wininet_download(const char* url, const char* file_name) {
  InternetHandle session(InternetOpenA("bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session) return -1;
  InternetHandle request(InternetOpenUrlA(session.get(), url, nullptr, 0, INTERNET_FLAG_RELOAD, 0));
  if (!request) return -1;
  std::FILE* file = std::fopen(file_name, "wb");
  if (file == nullptr) return -1;
  constexpr DWORD kBlockBytes = 64 * 1024;
  std::unique_ptr<char[]> block(new char[kBlockBytes]);
  std::int64_t stored = 0;
  DWORD read = 0;
  while (InternetReadFile(request.get(), block.get(), kBlockBytes, &read) && read != 0) {
    if (std::fwrite(block.get(), 1, read, file) != read) break;
    stored += read;
  }
  if (std::fclose(file) != 0) return -1;
  return stored;
}

}  // namespace tolvex::bench
