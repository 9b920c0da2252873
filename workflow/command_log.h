#pragma once
// Where each command leaves a short record of what it did, for support: the record, and the log
// that keeps the records. The program's log is a file in the user's local application data
// folder, or the machine's for a copy with administrator rights (CommandLogFile); tests record in
// memory.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "base/errors.h"
#include "catalogue/managed_file_table.h"
#include "catalogue/update_list.h"
#include "install/install_observer.h"
#include "install/sibling_programs.h"

namespace tolvex {

// A moment in local time, as a record's heading shows it.
struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class CommandLog {
 public:
  virtual ~CommandLog() = default;
  // The local time now.
  virtual LocalTime now() = 0;
  // The update address the commands use: the URL setting followed by the list name.
  virtual std::string update_address() = 0;
  // Keeps one finished record (lines in code page 932, each ended by CR LF). A record that
  // cannot be kept is dropped silently: the log never fails or holds up a command.
  virtual void append(const std::string& record) noexcept = 0;
};

// The record one command leaves in the command log: a heading with the local time and the
// command's name, then one indented line per fact (the update address without any user name or
// password, the list's outcome, each offered file with its installed and listed versions, each
// file's installation, the sibling programs closed and started again or left closed, the message
// that ended the command). Texts are code page 932 as the window shows them; control characters
// in them become spaces, so that every line is one line and only a heading starts with '['.
// The names a record's heading gives the two commands.
extern const char kVersionCheckCommandName[];
extern const char kUpdateCommandName[];

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
  // A sibling program the installation closed could not be started again and stays closed.
  void program_left_closed(const char* program) noexcept override;
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

// How the command log stays small: once it has grown past kLogLimit bytes, only its last part,
// at most kLogKeep bytes from the first record that starts within them, is kept.
constexpr std::uint64_t kLogLimit = 1024 * 1024;
constexpr std::size_t kLogKeep = 512 * 1024;

// Where the part to keep begins in `tail`, the last bytes of a log (read one byte more than
// kLogKeep, so that a record starting exactly kLogKeep bytes before the end is seen as one): at
// the first '[' that follows a line feed. `size` when no record starts in `tail`.
std::size_t first_record_start(const char* tail, std::size_t size);

// %LOCALAPPDATA%\Halvorn\Stablon2\tolvex.log, making the two folders when they are missing;
// empty when the local application data folder is unknown (Windows). A copy with administrator
// rights writes nothing under the user's profile, where processes with fewer rights could
// redirect it: its log is %ProgramData%\Halvorn\Stablon2\tolvex.log, in folders only
// administrators may change (made so, or refused: then empty, and no log is kept).
std::string prepare_command_log_path();

// The program's command log: a file of records, appended to one record at a time (opened,
// appended to and closed each time, shared with another updater writing at the same moment),
// and cut to its last part once it grows past kLogLimit (Windows).
class CommandLogFile : public CommandLog {
 public:
  // The log at `path`; empty: prepare_command_log_path(), found at each append.
  explicit CommandLogFile(std::string path = std::string()) : path_(std::move(path)) {}

  LocalTime now() override;
  std::string update_address() override;
  // Every failure (no folder, the name taken by a folder, a full disk) drops the record or the
  // trimming, nothing else: the log is never left half rewritten, the rewrite goes through a
  // temporary file renamed over it.
  void append(const std::string& record) noexcept override;

 private:
  std::string path_;
};

}  // namespace tolvex
