#pragma once
// Failure codes of the network and list operations, their Japanese messages (code page 932),
// and the two process-wide registers of a command: LastError and AbortRequested.
#include <cstddef>
#include <cstdint>

namespace tolvex {

class StatusSurface;

using ErrorCode = std::int32_t;

enum : ErrorCode {
  kErrorNone = 0,
  kErrorProvider = 2001,
  kErrorUserInfo = 2002,
  kErrorConnectionStatus = 2003,
  kErrorNotConnected = 2004,
  kErrorNoDialUpName = 2005,
  kErrorDialUpNameRead = 2006,
  kErrorDialUpInfoRead = 2007,
  kErrorDialFailed = 2008,
  kErrorHangUpFailed = 2009,
  kErrorNoFileAtUrl = 2010,
  kErrorSaveFileOpen = 2011,
  kErrorSaveFileWrite = 2012,
  kErrorSettingsMissing = 2013,
  kErrorSettingsOpen = 2014,
  kErrorSettingsRead = 2015,
  kErrorFileType = 2016,
  kErrorOutOfMemory = 2017,
  kErrorFinalisation = 2018,
  kErrorTransfer = 2019,
  kErrorCredentials = 2020,
  kErrorAborted = 2021,
  kErrorAlreadyNetworked = 2022,
  kErrorAlreadyDialled = 2023,
  kErrorBadArgument = 2024,
  // Signed releases: the manifest beside the list could not be fetched; its signature, form or
  // list hash is wrong; a downloaded archive is not the one it names (or not its size); the
  // release is older than one accepted before; the release has expired.
  kErrorManifestFetch = 2026,
  kErrorBadSignature = 2027,
  kErrorArchiveNotSigned = 2028,
  kErrorOlderRelease = 2029,
  kErrorReleaseExpired = 2030,
};

// The latest failure code; 0 until a failure is recorded. Successes never clear it.
ErrorCode last_error();
// Records a failure (or, for the dial-up start, the one reset to 0).
void set_last_error(ErrorCode code);

// Records the failure `code` and returns 0, an operation's failure result.
inline int fail_with(ErrorCode code) {
  set_last_error(code);
  return 0;
}

// Size of the status-line buffers that every caller passes.
constexpr std::size_t kStatusTextSize = 256;

// The message of a code; codes without an entry (kErrorTransfer, 0, out of range) give the
// default text.
const char* error_message(ErrorCode code);

// Copies the message of `code`, NUL-terminated, into `destination` of `size` bytes (a text that
// does not fit is cut at a character boundary; every message fits the 256-byte status buffer).
void describe_error(ErrorCode code, char* destination, std::size_t size = kStatusTextSize);

// Shows the message of LastError in the status line.
void show_last_error(StatusSurface& status);

// AbortRequested: set by the Cancel command while archives download, read by the progress
// callback, cleared when a command starts or the user withdraws the request.
bool abort_requested();
void set_abort_requested(bool requested);

}  // namespace tolvex
