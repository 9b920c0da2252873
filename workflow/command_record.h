#pragma once
// The record one command leaves in the command log: a heading with the local time and the
// command's name, then one indented line per fact (the update address, the list's outcome, each
// offered file with its installed and listed versions, each file's installation, the sibling
// programs closed and started again, the message that ended the command). Texts are code page
// 932 as the window shows them; control characters in them become spaces, so that every line
// is one line and only a heading starts with '['.
#include <cstdint>
#include <initializer_list>
#include <string>

#include "base/errors.h"
#include "catalogue/managed_file_table.h"
#include "catalogue/update_list.h"
#include "install/install_observer.h"
#include "install/sibling_programs.h"
#include "workflow/command_log.h"

namespace tolvex {

extern const char kVersionCheckCommandName[];  // "バージョンチェック"
extern const char kUpdateCommandName[];        // "アップデート"

// Collects the lines while the command runs and appends the record to `log` when it goes, on
// every way out of the command. Nothing in it throws: a line that cannot be added is left out.
class CommandRecord : public InstallObserver {
 public:
  CommandRecord(CommandLog& log, const char* command_name) noexcept;
  ~CommandRecord() override;
  CommandRecord(const CommandRecord&) = delete;
  CommandRecord& operator=(const CommandRecord&) = delete;

  // The connection failed with `code` and the user chose not to go on.
  void connection_declined(ErrorCode code) noexcept;
  // The list arrived in this command; or one fetched earlier in this run was used.
  void list_fetched() noexcept;
  void list_kept() noexcept;
  // The list could not be fetched: its code and the status line's message.
  void list_failed(ErrorCode code) noexcept;
  // Every flagged row of `table`, with its installed version and the version `list` offers.
  void offered(const ManagedFileTable& table, const UpdateListRows& list) noexcept;
  // The downloads stopped with `code`.
  void download_failed(ErrorCode code) noexcept;
  void file_installed(const char* name, InstallOutcome outcome, std::uint32_t system_error,
                      bool backup_restored) noexcept override;
  // The sibling programs an installation closed and started again.
  void programs_closed(const std::int32_t (&was_running)[kSiblingCount]) noexcept;
  // The message box that ended the command.
  void ended(const char* message) noexcept;

  // The record so far: the heading and the lines added.
  const std::string& text() const noexcept { return text_; }

 private:
  // Adds "  <label>: <parts...>" and CR LF.
  void add_line(const char* label, std::initializer_list<const char*> parts) noexcept;

  CommandLog& log_;
  std::string text_;
};

}  // namespace tolvex
