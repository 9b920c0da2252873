#pragma once
// The two commands of the main window and the steps they share.
//   The version check (IDC_CHECK_BUTTON): connect if configured, fetch the update list,
//   disconnect, compare, and report how many files can be updated.
//   The update (IDC_UPDATE_BUTTON): connect if configured, fetch the update list unless this run
//   already has one, compare, check that the working folder can be written, download one
//   archive per newer file, disconnect, install.
#include <cstdint>

#include "workflow/command_context.h"

namespace tolvex {

void run_version_check(CommandContext& context);
void run_update(CommandContext& context);

// The labels of the cancel button.
extern const char kExitLabel[];
extern const char kAbortLabel[];

// Clears AbortRequested, enables or disables the buttons and labels IDCANCEL: kExitLabel when
// the commands are enabled and nothing downloads, kAbortLabel otherwise.
void set_command_state(CommandContext& context, bool enable_commands, bool enable_cancel);

// Dials when configured; on failure asks whether to go on anyway. True: go on.
[[nodiscard]] bool connect_or_ask(CommandContext& context);

// Fetches the update list with progress. On failure shows the error's message in the status
// line. The progress bar is reset either way. 1 on success, 0 on failure.
[[nodiscard]] int fetch_step(CommandContext& context);

// Hangs up what this command dialled; a failure is reported with a stop box and the command
// goes on.
void disconnect_with_report(CommandContext& context);

// Compares the kept update list text with the managed files; the number of newer files.
std::int32_t compare_kept_list(CommandContext& context);

// The box saying that nothing can be updated; returns its text.
const char* show_up_to_date(CommandContext& context);

// The stop box saying that the update information could not be obtained; returns its text.
const char* show_list_fetch_failed(CommandContext& context);

// Downloads the archive of every flagged row in table order with progress; stops at the first
// failure, showing its message. 1 when all were downloaded.
[[nodiscard]] int download_step(CommandContext& context);

// Before the update command downloads anything: a working folder this copy cannot write ends
// the command, after asking (when this copy runs without administrator rights) whether to run
// the update again as administrator. Nothing on disk changes on any of these ways out.
// Texts of the boxes, all captioned as the update command:
extern const char kElevationQuestion[];    // asked when the folder needs administrator rights
extern const char kElevationDeclined[];    // the user answered no
extern const char kElevationNotStarted[];  // the elevated copy was refused or could not start
extern const char kFolderNotWritable[];    // even administrator rights do not make it writable
extern const char kHandedOverNote[];       // what the command log says of a hand-over

// True when the update may write the working folder and replace every flagged file there
// (always, without a rights object).
bool working_folder_writable(const CommandContext& context);

struct UnwritableFolderOutcome {
  bool handed_over;  // a copy with administrator rights runs the update; this window is closing
  const char* said;  // the text of the last box shown (kHandedOverNote when none)
};

// For a folder working_folder_writable refused: asks whether to run the update as
// administrator (unless this copy already is), starts that copy or says why not.
UnwritableFolderOutcome resolve_unwritable_folder(CommandContext& context);

}  // namespace tolvex
