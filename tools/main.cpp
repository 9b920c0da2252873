// tolvex-publish: the suite maker's tool for publishing updates (see command_line.h).
#include <iostream>
#include <string>
#include <vector>

#include "tools/command_line.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  tolvex::publish::Progress progress = tolvex::publish::Progress::for_terminal();
  return tolvex::publish::run_tool(arguments, std::cout, std::cerr, progress);
}
