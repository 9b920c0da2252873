#include "unlha32/extractor.h"

#include <windows.h>

#include "lha/archive_reader.h"
#include "unlha32/result_codes.h"
#include "unlha32/wildcard.h"
#include "unlha32/win_file.h"
#include "win/scoped_win.h"

namespace tolvex::unlha32 {
namespace {

struct MemberFailure {
  int code;
  std::string message;
};

// Decodes the reader's current member into `folder` + `name` through a temporary file.
bool extract_member(lha::ArchiveReader& reader, const std::string& folder, const std::string& name,
                    MemberFailure& failure) {
  char temporary[MAX_PATH + 1] = {};
  std::string directory = folder.empty() ? std::string(".") : folder;
  if (GetTempFileNameA(directory.c_str(), "lha", 0, temporary) == 0) {
    failure = {kCannotWrite, "cannot create a temporary file"};
    return false;
  }
  OwnedHandle file(CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    DeleteFileA(temporary);
    failure = {kCannotWrite, "cannot open a temporary file"};
    return false;
  }
  HandleSink sink(file.get());
  lha::Result result = reader.extract(sink);
  bool closed = file.close();
  if (!result.ok() || !closed) {
    DeleteFileA(temporary);
    if (!closed || result.status == lha::Status::io_error) failure = {kCannotWrite, "cannot write"};
    else failure = {kMemberFailed, lha::status_name(result.status)};
    return false;
  }
  std::string target = folder + name;
  if (!MoveFileExA(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileA(temporary);
    failure = {kCannotWrite, "cannot replace the existing file"};
    return false;
  }
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
    MemberFailure failure{};
    if (extract_member(reader, command.output_folder, header.file_name, failure)) {
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
