#include "win/elevation_win.h"

#include "win/scoped_win.h"

namespace tolvex {

bool token_elevated(HANDLE token) {
  TOKEN_ELEVATION elevation = {};
  DWORD size = 0;
  return GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated != 0;
}

bool process_elevated() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) return false;
  OwnedHandle token(raw);
  return token_elevated(token.get());
}

}  // namespace tolvex
