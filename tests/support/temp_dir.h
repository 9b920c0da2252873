#pragma once
// A fresh folder that a test works in: created empty, made the current directory for the
// test's lifetime, and removed with everything in it afterwards.
#include <filesystem>
#include <string>

namespace tolvex::testing {

class ScopedWorkDir {
 public:
  ScopedWorkDir();
  ~ScopedWorkDir();
  ScopedWorkDir(const ScopedWorkDir&) = delete;
  ScopedWorkDir& operator=(const ScopedWorkDir&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

// Writes `bytes` into the file `name` (relative to the current directory).
void write_file(const std::filesystem::path& name, const std::string& bytes);
// The whole content of a file; empty when it cannot be read.
std::string read_file(const std::filesystem::path& name);

}  // namespace tolvex::testing
