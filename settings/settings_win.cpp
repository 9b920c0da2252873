#include "settings/settings.h"

#include <windows.h>

#include <vector>

#include "settings/registry_key_win.h"
#include "text/cp932.h"
#include "win/process_win.h"
#include "win/scoped_win.h"

namespace tolvex {

const char kRegistryRoot[] = "Halvorn\\R58";
const char kOptionSection[] = "OPTION";
const char kUrlEntry[] = "URL";
const char kListNameEntry[] = "name";
const char kReleaseSerialEntry[] = "ReleaseSerial";
const char kDefaultUpdateUrl[] = "http://www.halvorn.co.jp/pc/stablon/velo2/aupd/";
const char kDefaultListName[] = "update.txt";
const char kDialUpOptionKey[] = "Software\\Halvorn\\R58\\rasto\\Option";
const char kConnectTypeValue[] = "ConnectType";
const char kDialUpNameValue[] = "DialUpName";

namespace {

// Owns a key opened for reading only: the profile is never written or created.
class ReadOnlyKey {
 public:
  explicit ReadOnlyKey(const std::string& path, HKEY root = HKEY_CURRENT_USER) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) key_.reset(key);
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

namespace {

std::string profile_path(const char* section) {
  return std::string("Software\\") + kRegistryRoot + "\\" + application_name() + "\\" + section;
}

}  // namespace

std::string read_profile_string(const char* section, const char* entry, const char* default_value) {
  const std::string path = profile_path(section);
  std::string value;
  if (ReadOnlyKey(path).read_string(entry, value)) return value;
  return default_value;
}

std::string update_url() { return read_profile_string(kOptionSection, kUrlEntry, kDefaultUpdateUrl); }

std::string update_list_name() { return read_profile_string(kOptionSection, kListNameEntry, kDefaultListName); }

namespace {

// The serial recorded under `root`'s profile: 0 when none, or not a decimal of at most 18 digits.
std::uint64_t read_serial(HKEY root) {
  std::string text;
  if (!ReadOnlyKey(profile_path(kOptionSection), root).read_string(kReleaseSerialEntry, text)) return 0;
  if (text.empty() || text.size() > 18) return 0;
  std::uint64_t serial = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    serial = serial * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return serial;
}

bool write_serial(HKEY root, std::uint64_t serial) {
  HKEY raw = nullptr;
  if (RegCreateKeyExA(root, profile_path(kOptionSection).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, &raw, nullptr) != ERROR_SUCCESS)
    return false;
  OwnedKey key(raw);
  const std::string text = std::to_string(serial);
  return RegSetValueExA(key.get(), kReleaseSerialEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

std::uint64_t read_release_serial() { return read_serial(HKEY_CURRENT_USER); }

bool write_release_serial(std::uint64_t serial) { return write_serial(HKEY_CURRENT_USER, serial); }

std::uint64_t read_machine_release_serial() { return read_serial(HKEY_LOCAL_MACHINE); }

bool write_machine_release_serial(std::uint64_t serial) { return write_serial(HKEY_LOCAL_MACHINE, serial); }

void read_connection_options(ConnectionOptions& options) {
  RegistryKey key;
  if (key.open(HKEY_CURRENT_USER, kDialUpOptionKey) != ERROR_SUCCESS) return;
  // A value that is missing or unreadable leaves its default (empty name, 0).
  std::string name;
  (void)key.read_string(kDialUpNameValue, name);
  options.DialUpName = name;
  std::uint32_t connect_type = 0;
  (void)key.read_dword(kConnectTypeValue, connect_type);
  options.ConnectType = connect_type;
  key.close();
}

}  // namespace tolvex
