#include "tools/command_line.h"

#include "tools/signing.h"
#include "trust/manifest.h"

namespace tolvex::publish {
namespace {

constexpr std::uint64_t kMaxExpiryDays = 36500;

// A whole number from 1 to `most` in plain decimal digits; false for anything else.
bool parse_count(const std::string& text, std::uint64_t most, std::uint64_t& value) {
  if (text.empty() || text.size() > 20 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  value = 0;
  for (char digit : text) {
    if (value > (most - static_cast<std::uint64_t>(digit - '0')) / 10) return false;
    value = value * 10 + static_cast<std::uint64_t>(digit - '0');
  }
  return value >= 1;
}

}  // namespace

const char* usage_text() {
  return "usage:\n"
         "  tolvex-publish publish [options] RELEASE_DIR OUT_DIR\n"
         "      Writes the update list and one archive per managed file of RELEASE_DIR into OUT_DIR.\n"
         "  tolvex-publish verify [options] OUT_DIR\n"
         "      Checks a published folder against the rules the updater applies.\n"
         "  tolvex-publish diff [options] INSTALL_DIR OUT_DIR\n"
         "      Shows which installed files the updater would offer to update from OUT_DIR.\n"
         "  tolvex-publish keygen PRIVATE_KEY PUBLIC_KEY\n"
         "      Makes a new ECDSA P-256 key pair for --sign and --key (never replaces a file).\n"
         "options:\n"
         "  --list-name NAME  the update list's file name (default update.txt)\n"
         "  --skip-unusable   publish: leave out files that cannot be published instead of stopping\n"
         "  --tz ZONE         publish, diff: time zone of the help file's date version: a fixed POSIX\n"
         "                    offset such as JST-9 (the default: Japan, where the updater runs) or UTC0,\n"
         "                    or \"local\" for this process's zone (TZ)\n"
         "  --allow-not-offered\n"
         "                    publish: publish a file whose bytes changed since the release in OUT_DIR\n"
         "                    although its version text is not newer to the updater (a warning, not an\n"
         "                    error; updaters that installed that release will not be offered it)\n"
         "  --sign FILE       publish: also write <list name>.sig, the release's serial, the size and\n"
         "                    SHA-256 of every archive and of the list, signed with this private key\n"
         "  --serial N        publish --sign: the release's serial, 1 to 999999999999999999 (default: one\n"
         "                    more than the serial of the manifest in OUT_DIR, or 1); never lower than it\n"
         "  --expires-in DAYS publish --sign: updaters refuse the release from DAYS days (1 to 36500) after\n"
         "                    now on (default: it does not expire)\n"
         "  --key FILE        verify: require <list name>.sig and check its signature with this public\n"
         "                    key (without it, a manifest's form and hashes are checked, not its signature)\n"
         "  --help            this text\n"
         "exit codes: 0 ok, 1 problems found or failure, 2 bad command line\n";
}

bool parse_command_line(const std::vector<std::string>& arguments, CommandLine& line, std::string& error) {
  line = CommandLine();
  if (arguments.empty()) {
    error = "no command given";
    return false;
  }
  const std::string& command = arguments[0];
  if (command == "--help" || command == "-h" || command == "help") return true;
  std::size_t folders_needed = 0;
  if (command == "publish") {
    line.command = Command::kPublish;
    folders_needed = 2;
  } else if (command == "verify") {
    line.command = Command::kVerify;
    folders_needed = 1;
  } else if (command == "diff") {
    line.command = Command::kDiff;
    folders_needed = 2;
  } else if (command == "keygen") {
    line.command = Command::kKeygen;
    folders_needed = 2;  // the two key files
  } else {
    error = "unknown command \"" + command + "\"";
    return false;
  }

  std::vector<std::string> folders;
  std::string list_name = "update.txt";
  std::string zone = TimeZoneSetting::kDefault;
  bool skip_unusable = false, allow_not_offered = false;
  std::string signing_key, public_key, serial, expires_in;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= arguments.size()) {
        error = argument + " needs a value";
        return false;
      }
      into = arguments[++i];
      return true;
    };
    if (argument == "--help" || argument == "-h") {
      line.command = Command::kHelp;
      return true;
    } else if (argument == "--sign" && line.command == Command::kPublish) {
      if (!value(signing_key)) return false;
    } else if (argument == "--key" && line.command == Command::kVerify) {
      if (!value(public_key)) return false;
    } else if (argument == "--list-name" && line.command != Command::kKeygen) {
      if (!value(list_name)) return false;
    } else if (argument == "--tz" && (line.command == Command::kPublish || line.command == Command::kDiff)) {
      if (!value(zone)) return false;
    } else if (argument == "--serial" && line.command == Command::kPublish) {
      if (!value(serial)) return false;
    } else if (argument == "--expires-in" && line.command == Command::kPublish) {
      if (!value(expires_in)) return false;
    } else if (argument == "--skip-unusable" && line.command == Command::kPublish) {
      skip_unusable = true;
    } else if (argument == "--allow-not-offered" && line.command == Command::kPublish) {
      allow_not_offered = true;
    } else if (argument.size() > 1 && argument[0] == '-' && argument != "--") {
      error = "unknown option " + argument + " for " + command;
      return false;
    } else {
      folders.push_back(argument);
    }
  }
  if (folders.size() != folders_needed) {
    const char* what = line.command == Command::kKeygen ? " files" : folders_needed == 1 ? " folder" : " folders";
    error = command + " takes " + std::to_string(folders_needed) + what + ", got " + std::to_string(folders.size());
    return false;
  }
  if ((line.command == Command::kKeygen || !signing_key.empty() || !public_key.empty()) && !signing_available()) {
    error = kSigningUnavailable;
    return false;
  }
  if ((!serial.empty() || !expires_in.empty()) && signing_key.empty()) {
    error = std::string(!serial.empty() ? "--serial" : "--expires-in") + " is for a signed release: it needs --sign";
    return false;
  }
  std::uint64_t serial_number = 0, expiry_days = 0;
  if (!serial.empty() && !parse_count(serial, trust::kManifestMaxSerial, serial_number)) {
    error = "--serial takes a whole number from 1 to " + std::to_string(trust::kManifestMaxSerial) + ", not \"" +
            serial + "\"";
    return false;
  }
  if (!expires_in.empty() && !parse_count(expires_in, kMaxExpiryDays, expiry_days)) {
    error = "--expires-in takes a number of days from 1 to " + std::to_string(kMaxExpiryDays) + ", not \"" +
            expires_in + "\"";
    return false;
  }
  TimeZoneSetting setting;
  if (!TimeZoneSetting::parse(zone, setting, error)) return false;

  switch (line.command) {
    case Command::kPublish:
      line.publish.release_folder = folders[0];
      line.publish.output_folder = folders[1];
      line.publish.list_name = list_name;
      line.publish.skip_unusable = skip_unusable;
      line.publish.zone = setting;
      line.publish.signing_key = signing_key;
      line.publish.serial = serial_number;
      line.publish.expires_in_days = static_cast<int>(expiry_days);
      line.publish.allow_not_offered = allow_not_offered;
      break;
    case Command::kVerify:
      line.verify = VerifyOptions{folders[0], list_name, public_key};
      break;
    case Command::kKeygen:
      line.keygen = KeygenOptions{folders[0], folders[1]};
      break;
    case Command::kDiff:
      line.diff = DiffOptions{folders[0], folders[1], list_name, setting};
      break;
    case Command::kHelp:
      break;
  }
  return true;
}

int run_tool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err, Progress& progress) {
  CommandLine line;
  std::string error;
  if (!parse_command_line(arguments, line, error)) {
    err << "tolvex-publish: " << error << "\n(tolvex-publish --help shows the usage)\n";
    return 2;
  }
  Report report(err);
  switch (line.command) {
    case Command::kHelp:
      out << usage_text();
      return 0;
    case Command::kPublish:
      return run_publish(line.publish, report, progress, out);
    case Command::kVerify:
      return run_verify(line.verify, report, progress, out);
    case Command::kDiff:
      return run_diff(line.diff, report, out);
    case Command::kKeygen:
      return run_keygen(line.keygen, report, out);
  }
  return 2;
}

}  // namespace tolvex::publish
