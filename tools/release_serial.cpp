#include "tools/release_serial.h"

#include <vector>

#include "tools/file_system.h"
#include "trust/manifest.h"

namespace tolvex::publish {

bool choose_release_serial(const std::string& manifest_path, std::uint64_t requested, ReleaseSerial& chosen,
                           std::string& error) {
  chosen = ReleaseSerial();
  if (entry_kind(manifest_path) == EntryKind::missing) {
    chosen.serial = requested != 0 ? requested : 1;
    return true;
  }
  std::vector<std::uint8_t> bytes;
  std::string problem;
  trust::ParsedManifest parsed;
  if (!read_whole_file(manifest_path, bytes, problem, trust::kManifestMaxSize) ||
      !trust::parse_manifest(reinterpret_cast<const char*>(bytes.data()), bytes.size(), parsed, problem)) {
    if (requested == 0) {
      error = manifest_path + ": cannot read the published release's manifest (" + problem +
              "), so the serial of this release is not known; give it with --serial N";
      return false;
    }
    chosen.serial = requested;
    chosen.warning = manifest_path + ": cannot read the published release's manifest (" + problem + "); serial " +
                     std::to_string(requested) + " is used as given";
    return true;
  }
  const std::uint64_t published = parsed.manifest.format == 1 ? 0 : parsed.manifest.serial;
  if (requested != 0 && requested < published) {
    error = "--serial " + std::to_string(requested) + " is lower than the serial " + std::to_string(published) +
            " of the published release (" + manifest_path +
            "): updaters that have seen that release would refuse this one as older";
    return false;
  }
  if (requested == 0 && published >= trust::kManifestMaxSerial) {
    error = manifest_path + ": the published release has the highest serial a manifest holds (" +
            std::to_string(published) + "); no later release can be numbered";
    return false;
  }
  chosen.serial = requested != 0 ? requested : published + 1;
  return true;
}

}  // namespace tolvex::publish
