#pragma once
// Where the updater's settings live and how they are read. The program writes no setting; the
// only value it writes is the release serial a build with keys last accepted.
#include <cstdint>
#include <string>

namespace tolvex {

// Registry root of the profile settings under HKEY_CURRENT_USER\Software.
extern const char kRegistryRoot[];  // "Halvorn\\R58"
// Section of the updater's own profile holding the update address and the list name.
extern const char kOptionSection[];  // "OPTION"
extern const char kUrlEntry[];       // "URL"
extern const char kListNameEntry[];  // "name"
// Value of the OPTION section holding the highest release serial accepted, as decimal text.
extern const char kReleaseSerialEntry[];  // "ReleaseSerial"
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

// The highest release serial accepted before: 0 when none is recorded, or when the value is not
// a decimal number of at most 18 digits.
std::uint64_t read_release_serial();
// Records `serial` as the highest accepted (creating the section when needed). False when the
// profile cannot be written.
bool write_release_serial(std::uint64_t serial);

}  // namespace tolvex
