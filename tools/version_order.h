#pragma once
// Numeric order of version texts, to point out where the updater's byte-string order differs.
#include <string>

namespace tolvex::publish {

// Compares two texts of the form "%d,%02d,%d,%04d" field by field as numbers. False when either
// text is not of that form; otherwise `order` is <0, 0 or >0.
bool compare_version_numbers(const std::string& a, const std::string& b, int& order);

}  // namespace tolvex::publish
