#include "tools/archive_checks.h"

#include "catalogue/version_text.h"
#include "lha/archive_reader.h"
#include "tools/archive_file_input.h"
#include "tools/file_system.h"

namespace tolvex::publish {
namespace {

// No member the publisher writes is larger: it reads release files up to this size. Only the
// staged member is held in memory (for its version), and never beyond this.
constexpr std::uint64_t kMaxMemberBytes = kMaxReleaseFileBytes;

}  // namespace

bool check_archive(const std::string& path, const std::string& staged_name, Report& report,
                   std::vector<std::uint8_t>& staged) {
  ArchiveFileInput input;
  std::string error;
  const OpenOutcome opened = input.open(path, error);
  if (opened == OpenOutcome::missing) {
    report.error(path + ": missing; the updater would fail to download it");
    return false;
  }
  if (opened != OpenOutcome::opened) {
    report.error(path + ": " + error);
    return false;
  }
  lha::ArchiveReader reader(input);
  lha::MemberHeader header;
  bool at_end = false, found = false;
  int members = 0;
  for (;;) {
    lha::Result result = reader.next(header, at_end);
    if (!result.ok()) {
      report.error(path + ": damaged after " + std::to_string(members) +
                   " member(s): " + lha::status_name(result.status) + ": " + result.message);
      return false;
    }
    if (at_end) break;
    ++members;
    const bool exact = header.stored_path == staged_name;
    const bool other_case = !exact && equals_ignoring_ascii_case(header.stored_path.c_str(), staged_name.c_str());
    if (header.original_size > kMaxMemberBytes) {
      report.error(path + ": member " + header.stored_path + " declares " + std::to_string(header.original_size) +
                   " bytes, more than the publisher writes (" + std::to_string(kMaxMemberBytes) + ")");
      return false;
    }
    if (!header.has_crc && !header.is_directory) {
      report.error(path + ": member " + header.stored_path + " has no CRC; the updater's archive library refuses it");
      return false;
    }
    lha::VectorSink kept;
    lha::NullSink dropped;
    lha::OutputSink& sink = exact ? static_cast<lha::OutputSink&>(kept) : dropped;
    lha::Result decoded = reader.extract(sink);
    if (!decoded.ok()) {
      report.error(path + ": member " + header.stored_path + " does not decode: " + lha::status_name(decoded.status) +
                   ": " + decoded.message);
      return false;
    }
    if (exact && !found) {
      found = true;
      staged = std::move(kept.bytes);
    } else if (other_case) {
      report.warning(path + ": member " + header.stored_path + " differs from " + staged_name +
                     " in letter case; found only on file systems that ignore case");
    } else if (!exact) {
      report.warning(path + ": also holds " + header.stored_path +
                     ", which the updater would extract into the user's folder too");
    }
  }
  if (members == 0) {
    report.error(path + ": holds no member (or is not an LHA archive)");
    return false;
  }
  if (!found) report.error(path + ": does not hold the member " + staged_name + " that the updater installs");
  return found;
}

}  // namespace tolvex::publish
