// UNLHA32.dll: the archive command entry, exported at ordinal 1 and as "Unlha" by the .def files.
#include "unlha32/unlha32_win.h"

#include <cstdint>

#include "lha/archive_reader.h"
#include "unlha32/archive_command.h"
#include "unlha32/temporary_name.h"
#include "win/scoped_win.h"

namespace tolvex::unlha32 {
namespace {

// A sink that writes decoded bytes to a Windows file handle.
class HandleSink final : public lha::OutputSink {
 public:
  explicit HandleSink(HANDLE handle) : handle_(handle) {}
  bool write(const std::uint8_t* data, std::size_t size) override {
    while (size > 0) {
      DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(handle_, data, chunk, &written, nullptr) || written == 0) return false;
      data += written;
      size -= written;
    }
    return true;
  }

 private:
  HANDLE handle_;
};

struct ExtractionOutcome {
  int code = kSuccess;  // a ResultCode
  int extracted = 0;
  int failed = 0;
  std::string report;  // one line per problem and a summary line, CRLF-separated
};

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

// Carries out an archive command: every member whose bare name matches goes into the output
// folder under that name. Each is written to a temporary file beside it and moved into place
// only after its size and CRC have been checked, so a damaged member never appears under its
// name (an existing file of that name stays as it was). A member without a CRC, or one whose
// declared size would not leave a margin of free space on the disk, is refused before a byte is
// written.
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

}  // namespace
}  // namespace tolvex::unlha32

extern "C" int WINAPI Unlha(HWND owner, LPCSTR command_text, LPSTR output, DWORD output_size) {
  (void)owner;  // no windows are shown
  using namespace tolvex::unlha32;
  ReportBuffer report(output, output_size);
  try {
    ArchiveCommand command;
    std::string error;
    if (command_text == nullptr || !parse_command_line(command_text, command, error)) {
      report.append(command_text == nullptr ? "no command line\r\n" : error + "\r\n");
      return kBadCommand;
    }
    ExtractionOutcome outcome = run_extraction(command);
    report.append(outcome.report);
    return outcome.code;
  } catch (...) {
    // Out of memory or similar: nothing may cross into the caller.
    report.append("internal error\r\n");
    return kCannotWrite;
  }
}
