#pragma once
// Where the updater's settings live and how they are read. The program never writes a setting.
#include <string>

namespace tolvex {

// Registry root of the profile settings under HKEY_CURRENT_USER\Software.
extern const char kRegistryRoot[];  // "Halvorn\\R58"
// Section of the updater's own profile holding the update address and the list name.
extern const char kOptionSection[];  // "OPTION"
extern const char kUrlEntry[];       // "URL"
extern const char kListNameEntry[];  // "name"
extern const char kDefaultUpdateUrl[];
extern const char kDefaultListName[];  // "update.txt"

// Key and values of the dial-up options (the sibling program rasto's key).
extern const char kDialUpOptionKey[];   // "Software\\Halvorn\\R58\\rasto\\Option"
extern const char kConnectTypeValue[];  // "ConnectType"
extern const char kDialUpNameValue[];   // "DialUpName"

// The application name: the base name of the program file without folder and extension.
std::string application_name();

// Reads string `entry` of `section` from HKCU\Software\<root>\<application name>\<section>;
// `default_value` when the key or value is missing or not a string.
std::string read_profile_string(const char* section, const char* entry, const char* default_value);

// The "URL" and "name" settings, read afresh on every call.
std::string update_url();
std::string update_list_name();

}  // namespace tolvex
