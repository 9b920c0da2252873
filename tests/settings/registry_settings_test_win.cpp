// The settings readers against the real registry.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "settings/registry_key_win.h"
#include "settings/settings.h"

namespace tolvex {
namespace {

// The whole vendor key: opening the dial-up options creates missing keys volatile, parents included.
constexpr const char kRoot[] = "Software\\Halvorn";

class RegistrySettings : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRoot); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kRoot); }

  static void put_string(const std::string& key_path, const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
  }
  static void put_dword(const std::string& key_path, const char* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, key_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
  }
};

TEST_F(RegistrySettings, ApplicationNameIsTheProgramFileBaseName) { EXPECT_EQ(application_name(), "settings_tests"); }

TEST_F(RegistrySettings, ProfileDefaultsWithoutAnySettings) {
  EXPECT_EQ(update_url(), kDefaultUpdateUrl);
  EXPECT_EQ(update_list_name(), "update.txt");
  EXPECT_EQ(std::string(kDefaultUpdateUrl).substr(0, 7), "http://");
  EXPECT_NE(std::string(kDefaultUpdateUrl).find("/pc/stablon/velo2/aupd/"), std::string::npos);
  // Reading never creates the profile key.
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Halvorn\\R58\\settings_tests\\OPTION", 0, KEY_READ, &key),
            ERROR_SUCCESS);
}

TEST_F(RegistrySettings, ProfileValuesAreReadUnderTheApplicationName) {
  put_string("Software\\Halvorn\\R58\\settings_tests\\OPTION", "URL", "http://127.0.0.1:8080/x/");
  put_string("Software\\Halvorn\\R58\\tolvex\\OPTION", "name", "other.txt");  // another program's
  EXPECT_EQ(update_url(), "http://127.0.0.1:8080/x/");
  EXPECT_EQ(update_list_name(), "update.txt");
}

TEST_F(RegistrySettings, ConnectionOptionsDefaultsAndVolatileKey) {
  ConnectionOptions options;
  read_connection_options(options);
  EXPECT_EQ(options.ConnectType, 0u);
  EXPECT_EQ(options.DialUpName, "");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kDialUpOptionKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  HKEY child = nullptr;
  EXPECT_EQ(
      RegCreateKeyExA(key, "probe", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &child, nullptr),
      ERROR_CHILD_MUST_BE_VOLATILE);
  RegCloseKey(key);
}

TEST_F(RegistrySettings, ConnectionOptionsAreReadWhenPresent) {
  put_string(kDialUpOptionKey, "DialUpName", "プロバイダ");
  put_dword(kDialUpOptionKey, "ConnectType", 1);
  ConnectionOptions options;
  read_connection_options(options);
  EXPECT_EQ(options.ConnectType, 1u);
  EXPECT_EQ(options.DialUpName, "プロバイダ");
}

TEST_F(RegistrySettings, MissingConnectTypeMeansNoDialUp) {
  put_string(kDialUpOptionKey, "DialUpName", "entry");
  ConnectionOptions options;
  read_connection_options(options);
  EXPECT_EQ(options.ConnectType, 0u);
  EXPECT_EQ(options.DialUpName, "entry");
}

TEST_F(RegistrySettings, DialUpNameThatDoesNotFit1024BytesIsNotRead) {
  put_string(kDialUpOptionKey, "DialUpName", std::string(1024, 'n'));
  ConnectionOptions options;
  read_connection_options(options);
  EXPECT_EQ(options.DialUpName, "");
  put_string(kDialUpOptionKey, "DialUpName", std::string(1023, 'n'));
  read_connection_options(options);
  EXPECT_EQ(options.DialUpName.size(), 1023u);
}

TEST_F(RegistrySettings, RegistryKeyLeavesOutputsAloneOnFailure) {
  RegistryKey key;
  ASSERT_EQ(key.open(HKEY_CURRENT_USER, kDialUpOptionKey), ERROR_SUCCESS);
  EXPECT_EQ(key.path(), kDialUpOptionKey);
  std::uint32_t number = 7;
  std::string text = "kept";
  EXPECT_NE(key.read_dword("absent", number), ERROR_SUCCESS);
  EXPECT_NE(key.read_string("absent", text), ERROR_SUCCESS);
  EXPECT_EQ(number, 7u);
  EXPECT_EQ(text, "kept");
}

}  // namespace
}  // namespace tolvex
