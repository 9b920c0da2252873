#pragma once
// Checks one published archive the way the updater uses it: it must open, every member must
// decode with a matching CRC-16, and it must hold the member "<base>.___" that the updater
// installs (other members would be extracted into the user's folder as well). Members are
// decoded as a stream; a member without a CRC or declaring more than the publisher writes is
// refused before it is decoded.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/report.h"

namespace tolvex::publish {

// Reports the archive's problems. True with the staged member's bytes in `staged` when the
// archive holds a usable staged member.
bool check_archive(const std::string& path, const std::string& staged_name, Report& report,
                   std::vector<std::uint8_t>& staged);

}  // namespace tolvex::publish
