#pragma once
// The serial a signed publish gives its release. Updaters refuse a release whose serial is
// lower than one they accepted before, so every release must carry at least the serial of the
// one before it: by default one more than the serial of the manifest already in the output
// folder.
#include <cstdint>
#include <string>

namespace tolvex::publish {

struct ReleaseSerial {
  std::uint64_t serial = 0;
  std::string warning;  // a note for the maker, or empty
};

// The serial for a release signed into a folder whose manifest (from an earlier signed publish)
// is at `manifest_path`: `requested` when it is not 0, else one more than that manifest's serial
// (a format-1 manifest counts as 0), or 1 when there is none. False with `error` when
// `requested` is lower than the published serial, or when none is requested and the manifest
// there cannot be read (no serial is guessed).
bool choose_release_serial(const std::string& manifest_path, std::uint64_t requested, ReleaseSerial& chosen,
                           std::string& error);

}  // namespace tolvex::publish
