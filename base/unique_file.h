#pragma once
// An owned FILE*: closed when the owner goes away.
#include <cstdio>
#include <memory>
#include <string>

namespace tolvex {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

inline UniqueFile open_file(const std::string& path, const char* mode) {
  return UniqueFile(std::fopen(path.c_str(), mode));
}

}  // namespace tolvex
