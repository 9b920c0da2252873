#pragma once
// The dial-up options of the suite, read once when the main window opens.
#include <cstdint>
#include <string>

namespace tolvex {

struct ConnectionOptions {
  std::uint32_t ConnectType = 0;  // non-zero: dial DialUpName before transfers
  std::string DialUpName;
};

// Reads "DialUpName" and "ConnectType" from HKCU\Software\Halvorn\R58\rasto\Option, creating the
// key (volatile) when it is missing. Missing values keep the defaults (0, empty).
void read_connection_options(ConnectionOptions& options);

}  // namespace tolvex
