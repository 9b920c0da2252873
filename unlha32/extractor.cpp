#include "unlha32/extractor.h"

#include <windows.h>

#include <cstdint>

#include "lha/archive_reader.h"
#include "unlha32/result_codes.h"
#include "unlha32/temporary_name.h"
#include "unlha32/wildcard.h"
#include "unlha32/win_file.h"
#include "win/scoped_win.h"

namespace tolvex::unlha32 {
namespace {

struct MemberFailure {
  int code;
  std::string message;
};

// Free space a member must leave on the disk after it is written: the update still has the
// swap and the suite its own files to write.
constexpr ULONGLONG kFreeSpaceMargin = 16ull * 1024 * 1024;

// True when `size` bytes and the margin fit in the free space of the volume holding `directory`.
// A volume whose free space cannot be read counts as full.
bool fits_free_space(const std::string& directory, std::uint64_t size) {
  ULARGE_INTEGER available{};
  if (!GetDiskFreeSpaceExA(directory.c_str(), &available, nullptr, nullptr)) return false;
  return available.QuadPart >= kFreeSpaceMargin && size <= available.QuadPart - kFreeSpaceMargin;
}

// Decodes the reader's current member into `folder` + `name` through a temporary file, which
// is deleted on every way out (an exception included) unless it was moved into place.
bool extract_member(lha::ArchiveReader& reader, const lha::MemberHeader& header, const std::string& folder,
                    const std::string& name, MemberFailure& failure) {
  std::string directory = folder.empty() ? std::string(".") : folder;
  if (!fits_free_space(directory, header.original_size)) {
    failure = {kCannotWrite, std::to_string(header.original_size) + " bytes do not fit in the free disk space"};
    return false;
  }
  TemporaryFile temporary;
  if (!temporary.create(directory.c_str(), kTemporaryPrefix)) {
    failure = {kCannotWrite, "cannot create a temporary file"};
    return false;
  }
  OwnedHandle file(
      CreateFileA(temporary.path(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    failure = {kCannotWrite, "cannot open a temporary file"};
    return false;
  }
  HandleSink sink(file.get());
  lha::Result result = reader.extract(sink);
  bool closed = file.close();
  if (!result.ok() || !closed) {
    if (!closed || result.status == lha::Status::kIoError) failure = {kCannotWrite, "cannot write"};
    else failure = {kMemberFailed, lha::status_name(result.status)};
    return false;
  }
  std::string target = folder + name;
  if (!MoveFileExA(temporary.path(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    failure = {kCannotWrite, "cannot replace the existing file"};
    return false;
  }
  temporary.keep();
  return true;
}

int worse(int current, int next) { return current != kSuccess ? current : next; }

}  // namespace

ExtractionOutcome run_extraction(const ArchiveCommand& command) {
  ExtractionOutcome outcome;
  lha::FileInput input(command.archive);
  if (!input.is_open()) {
    outcome.code = kArchiveNotFound;
    outcome.report = "cannot open the archive " + command.archive + "\r\n";
    return outcome;
  }
  lha::ArchiveReader reader(input);
  lha::MemberHeader header;
  for (;;) {
    bool at_end = false;
    lha::Result next = reader.next(header, at_end);
    if (!next.ok()) {
      outcome.code = worse(outcome.code, kArchiveDamaged);
      outcome.report += std::string("archive damaged: ") + next.message + "\r\n";
      break;
    }
    if (at_end) break;
    if (header.is_directory) continue;
    if (header.file_name.empty()) {
      ++outcome.failed;
      outcome.code = worse(outcome.code, kMemberFailed);
      outcome.report += header.stored_path + ": unsafe name, skipped\r\n";
      continue;
    }
    if (!any_wildcard_matches(command.patterns, header.file_name)) continue;
    if (!header.has_crc) {
      // An old level-0 header may carry no CRC: such data could be anything, so it never
      // appears under a name.
      ++outcome.failed;
      outcome.code = worse(outcome.code, kMemberFailed);
      outcome.report += header.file_name + ": no CRC in its header, not extracted\r\n";
      continue;
    }
    MemberFailure failure{};
    if (extract_member(reader, header, command.output_folder, header.file_name, failure)) {
      ++outcome.extracted;
    } else {
      ++outcome.failed;
      outcome.code = worse(outcome.code, failure.code);
      outcome.report += header.file_name + ": " + failure.message + "\r\n";
    }
  }
  outcome.report += std::to_string(outcome.extracted) + " extracted, " + std::to_string(outcome.failed) + " failed\r\n";
  return outcome;
}

}  // namespace tolvex::unlha32
