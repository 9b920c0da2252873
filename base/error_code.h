#pragma once
// Failure codes of the network and list operations, and the process-wide LastError register.
#include <cstdint>

namespace tolvex {

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

}  // namespace tolvex
