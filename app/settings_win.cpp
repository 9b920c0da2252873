#include "app/settings.h"

#include <windows.h>

#include <vector>

#include "text/cp932.h"

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
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~ReadOnlyKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  ReadOnlyKey(const ReadOnlyKey&) = delete;
  ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

  // The string value `name`, or false when it is missing or not a string.
  bool read_string(const char* name, std::string& out) const {
    if (key_ == nullptr) return false;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    std::vector<char> buffer(size + 1, '\0');
    DWORD read = size;
    if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read) != ERROR_SUCCESS)
      return false;
    out.assign(buffer.data());  // up to the first NUL
    return true;
  }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::string application_name() {
  char module[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameA(nullptr, module, MAX_PATH);
  module[length < MAX_PATH ? length : MAX_PATH] = '\0';
  const char* separator = find_last_path_separator(module);
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
