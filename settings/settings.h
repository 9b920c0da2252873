#pragma once
// Where the updater's settings and the dial-up options live and how they are read. The program writes no setting; the
// only value it writes is the release serial a build with keys last accepted (per user, and per
// machine from a copy with administrator rights).
#include <cstdint>
#include <string>

namespace tolvex {

// The profile: its registry root under HKEY_CURRENT_USER\Software; the section of the updater's
// own profile holding the update address, the list name and the highest release serial accepted
// (as decimal text); and the defaults of the address and the list name.
extern const char kRegistryRoot[];
extern const char kOptionSection[];
extern const char kUrlEntry[];
extern const char kListNameEntry[];
extern const char kReleaseSerialEntry[];
extern const char kDefaultUpdateUrl[];
extern const char kDefaultListName[];

// Key and values of the dial-up options (the sibling program rasto's key).
extern const char kDialUpOptionKey[];
extern const char kConnectTypeValue[];
extern const char kDialUpNameValue[];

// The dial-up options of the suite, read once when the main window opens.
struct ConnectionOptions {
  std::uint32_t ConnectType = 0;  // non-zero: dial DialUpName before transfers
  std::string DialUpName;
};

// Reads "DialUpName" and "ConnectType" from HKCU\Software\Halvorn\R58\rasto\Option, creating the
// key (volatile) when it is missing. Missing values keep the defaults (0, empty).
void read_connection_options(ConnectionOptions& options);

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

// The same for this machine, in HKEY_LOCAL_MACHINE\Software\<root>\<application name>\<section>:
// the highest serial a copy with administrator rights accepted, which every copy also judges
// against (an administrator who elevates for another user reads another user's profile). Only
// a copy with administrator rights can write it.
std::uint64_t read_machine_release_serial();
bool write_machine_release_serial(std::uint64_t serial);

}  // namespace tolvex
