#pragma once
// Where the running program file lies.
#include <string>

namespace tolvex {

// The full path of the running program file; empty when it cannot be read whole.
std::string program_file_path();

// The folder of the running program file with its final separator; empty when unknown.
std::string program_folder();

}  // namespace tolvex
