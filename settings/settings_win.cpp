#include "settings/settings.h"

#include <windows.h>

#include <vector>

#include "text/cp932.h"
#include "win/program_path.h"
#include "win/scoped_win.h"

namespace tolvex {

const char kRegistryRoot[] = "Halvorn\\R58";
const char kOptionSection[] = "OPTION";
const char kUrlEntry[] = "URL";
const char kListNameEntry[] = "name";
const char kDefaultUpdateUrl[] = "http://www.halvorn.co.jp/pc/stablon/velo2/aupd/";
const char kDefaultListName[] = "update.txt";
const char kDialUpOptionKey[] = "Software\\Halvorn\\R58\\rasto\\Option";
const char kConnectTypeValue[] = "ConnectType";
const char kDialUpNameValue[] = "DialUpName";

namespace {

// Owns a key opened for reading only: the profile is never written or created.
class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) key_.reset(key);
  }

  // The string value `name`, or false when it is missing or not a string.
  bool read_string(const char* name, std::string& out) const {
    if (key_.get() == nullptr) return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    std::vector<char> buffer(size + 1, '\0');
    DWORD read = size;
    if (RegQueryValueExA(key_.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) !=
        ERROR_SUCCESS)
      return false;
    out.assign(buffer.data());  // up to the first NUL
    return true;
  }

 private:
  OwnedKey key_;
};

}  // namespace

std::string application_name() {
  const std::string module = program_file_path();
  const char* separator = find_last_path_separator(module.c_str());
  std::string base = separator != nullptr ? separator + 1 : module;
  std::string::size_type dot = base.rfind('.');
  if (dot != std::string::npos) base.erase(dot);
  return base;
}

std::string read_profile_string(const char* section, const char* entry, const char* default_value) {
  std::string path = std::string("Software\\") + kRegistryRoot + "\\" + application_name() + "\\" + section;
  std::string value;
  if (ReadOnlyKey(path).read_string(entry, value)) return value;
  return default_value;
}

std::string update_url() { return read_profile_string(kOptionSection, kUrlEntry, kDefaultUpdateUrl); }

std::string update_list_name() { return read_profile_string(kOptionSection, kListNameEntry, kDefaultListName); }

}  // namespace tolvex
