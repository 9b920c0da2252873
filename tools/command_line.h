#pragma once
// The tool's command line: one command, its options and its folders.
//
//   tolvex-publish publish [--list-name NAME] [--skip-unusable] [--allow-not-offered] [--tz ZONE]
//                          [--sign PRIVATE_KEY [--serial N] [--expires-in DAYS]] RELEASE_DIR OUT_DIR
//   tolvex-publish verify  [--list-name NAME] [--key PUBLIC_KEY] OUT_DIR
//   tolvex-publish diff    [--list-name NAME] [--tz ZONE] INSTALL_DIR OUT_DIR
//   tolvex-publish keygen  PRIVATE_KEY PUBLIC_KEY
//   tolvex-publish --help
#include <ostream>
#include <string>
#include <vector>

#include "tools/diff_command.h"
#include "tools/publish_command.h"
#include "tools/signing.h"
#include "tools/verify_command.h"

namespace tolvex::publish {

enum class Command { kHelp, kPublish, kVerify, kDiff, kKeygen };

struct CommandLine {
  Command command = Command::kHelp;
  PublishOptions publish;
  VerifyOptions verify;
  DiffOptions diff;
  KeygenOptions keygen;
};

// False with `error` for a command line that cannot be run (exit code 2), including the signing
// commands and options in a build without signing.
bool parse_command_line(const std::vector<std::string>& arguments, CommandLine& line, std::string& error);

// The usage text printed by --help.
const char* usage_text();

// Parses and runs a command line (without the program name): results on `out`, problems and
// progress on `err`. Returns the exit code: 0 ok, 1 problems found or failure, 2 usage.
int run_tool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, Progress& progress);

}  // namespace tolvex::publish
