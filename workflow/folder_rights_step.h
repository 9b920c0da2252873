#pragma once
// Before the update command downloads anything: a working folder this copy cannot write ends
// the command, after asking (when this copy runs without administrator rights) whether to run
// the update again as administrator. Nothing on disk changes on any of these ways out.
#include "workflow/command_context.h"

namespace tolvex {

// Texts of the boxes (caption "アップデート").
extern const char kElevationQuestion[];    // asked when the folder needs administrator rights
extern const char kElevationDeclined[];    // the user answered no
extern const char kElevationNotStarted[];  // the elevated copy was refused or could not start
extern const char kFolderNotWritable[];    // even administrator rights do not make it writable
extern const char kHandedOverNote[];       // what the command log says of a hand-over

// True when the update may write the working folder (always, without a rights object).
bool working_folder_writable(const CommandContext& context);

struct UnwritableFolderOutcome {
  bool handed_over;  // a copy with administrator rights runs the update; this window is closing
  const char* said;  // the text of the last box shown (kHandedOverNote when none)
};

// For a folder working_folder_writable refused: asks whether to run the update as
// administrator (unless this copy already is), starts that copy or says why not.
UnwritableFolderOutcome resolve_unwritable_folder(CommandContext& context);

}  // namespace tolvex
