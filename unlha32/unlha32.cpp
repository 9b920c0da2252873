// UNLHA32.dll: the archive command entry, exported at ordinal 1 and as "Unlha" by the .def files.
#include <windows.h>

#include "unlha32/unlha32.h"

#include "unlha32/command_line.h"
#include "unlha32/extractor.h"
#include "unlha32/report_buffer.h"
#include "unlha32/result_codes.h"

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
