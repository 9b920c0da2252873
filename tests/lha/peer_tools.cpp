#include "peer_tools.h"

#include <sys/wait.h>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace tolvex::lha::testing {

bool have_program(const std::string& program) { return run_quietly("command -v " + program) == 0; }

int run_quietly(const std::string& command) {
  int status = std::system((command + " </dev/null >/dev/null 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::map<std::string, Bytes> regular_files_by_lower_name(const std::filesystem::path& folder) {
  std::map<std::string, Bytes> files;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_symlink() || !it->is_regular_file()) continue;
    files[lower(it->path().filename().string())] = read_bytes(it->path());
  }
  return files;
}

Bytes read_bytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace tolvex::lha::testing
